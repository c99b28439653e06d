// An owning array of fixed length on the heap; resizing replaces the contents. The storage
// starts on a cache line, which keeps the transforms' vector loads from straddling lines.
#pragma once

#include "fft/FFTRealAssert.h"

#include <cstddef>
#include <cstdint>
#include <new>

template <class T> class DynArray {
  public:
    typedef T DataType;

    DynArray() = default;
    explicit DynArray(int32_t size) {
        fftreal_assert(size >= 0);
        if (size > 0) {
            _data_ptr = allocate(size);
            _len = size;
        }
    }
    ~DynArray() { release(_data_ptr, _len); }

    DynArray(const DynArray&) = delete;
    DynArray& operator=(const DynArray&) = delete;

    int32_t size() const { return _len; }

    // A size above 0 gets fresh storage of default-constructed elements; 0 keeps the array.
    void resize(int32_t size) {
        fftreal_assert(size >= 0);
        if (size > 0) {
            DataType* old_data_ptr = _data_ptr;
            const int32_t old_len = _len;
            _data_ptr = allocate(size);
            _len = size;
            release(old_data_ptr, old_len);
        }
    }

    const DataType& operator[](int32_t pos) const {
        fftreal_assert(pos >= 0);
        fftreal_assert(pos < _len);
        return _data_ptr[pos];
    }
    DataType& operator[](int32_t pos) {
        fftreal_assert(pos >= 0);
        fftreal_assert(pos < _len);
        return _data_ptr[pos];
    }

  private:
    static constexpr std::align_val_t ALIGNMENT{64};

    // Storage for size default-constructed elements.
    static DataType* allocate(int32_t size) {
        void* storage = ::operator new[](sizeof(DataType) * static_cast<size_t>(size), ALIGNMENT);
        DataType* data = static_cast<DataType*>(storage);
        for (int32_t i = 0; i < size; ++i)
            new (data + i) DataType;
        return data;
    }
    static void release(DataType* data, int32_t size) {
        if (!data) return;
        for (int32_t i = 0; i < size; ++i)
            data[i].~DataType();
        ::operator delete[](data, ALIGNMENT);
    }

    DataType* _data_ptr = nullptr;
    int32_t _len = 0;
};
