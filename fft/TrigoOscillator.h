// Generates cos and sin of successive multiples of a step angle by repeated rotation.
#pragma once

#include <cmath>

template <class T> class TrigoOscillator {
  public:
    typedef T DataType;

    void set_step(double angle_rad) {
        _step_cos = static_cast<DataType>(std::cos(angle_rad));
        _step_sin = static_cast<DataType>(std::sin(angle_rad));
    }
    DataType get_cos() const { return _pos_cos; }
    DataType get_sin() const { return _pos_sin; }
    void step() {
        const DataType old_cos = _pos_cos;
        const DataType old_sin = _pos_sin;
        _pos_cos = old_cos * _step_cos - old_sin * _step_sin;
        _pos_sin = old_sin * _step_cos + old_cos * _step_sin;
    }
    void clear_buffers() {
        _pos_cos = static_cast<DataType>(1);
        _pos_sin = static_cast<DataType>(0);
    }

  private:
    DataType _pos_cos = static_cast<DataType>(1);
    DataType _pos_sin = static_cast<DataType>(0);
    DataType _step_cos = static_cast<DataType>(1);
    DataType _step_sin = static_cast<DataType>(0);
};
