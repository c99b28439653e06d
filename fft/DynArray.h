// An owning array of fixed length on the heap; resizing replaces the contents.
#pragma once

#include "fft/FFTRealAssert.h"

#include <cstdint>

template <class T> class DynArray {
  public:
    typedef T DataType;

    DynArray() = default;
    explicit DynArray(int32_t size) {
        fftreal_assert(size >= 0);
        if (size > 0) {
            _data_ptr = new DataType[size];
            _len = size;
        }
    }
    ~DynArray() { delete[] _data_ptr; }

    DynArray(const DynArray&) = delete;
    DynArray& operator=(const DynArray&) = delete;

    int32_t size() const { return _len; }

    // A size above 0 gets fresh storage of default-constructed elements; 0 keeps the array.
    void resize(int32_t size) {
        fftreal_assert(size >= 0);
        if (size > 0) {
            DataType* old_data_ptr = _data_ptr;
            _data_ptr = new DataType[size];
            _len = size;
            delete[] old_data_ptr;
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
    DataType* _data_ptr = nullptr;
    int32_t _len = 0;
};
