// Opens the transform's passes and tables to the tests.
#pragma once

#include "fft/FFTReal.h"

class FFTRealProbe : public FFTReal<double> {
  public:
    using FFTReal<double>::FFTReal;
    using FFTReal<double>::TRIGO_BD_LIMIT;
    using FFTReal<double>::_bit_rev_table;
    using FFTReal<double>::_cos_table;
    using FFTReal<double>::_length;
    using FFTReal<double>::_nbr_bits;
    using FFTReal<double>::_oscillators;
    using FFTReal<double>::compute_direct_pass_1_2;
    using FFTReal<double>::compute_fft_passes;
    using FFTReal<double>::compute_ifft_passes;
    using FFTReal<double>::compute_direct_pass_3;
    using FFTReal<double>::compute_direct_pass_n_lut;
    using FFTReal<double>::compute_direct_pass_n_osc;
    using FFTReal<double>::compute_inverse_pass_1_2;
    using FFTReal<double>::compute_inverse_pass_3;
    using FFTReal<double>::compute_inverse_pass_n_lut;
    using FFTReal<double>::compute_inverse_pass_n_osc;
    using FFTReal<double>::get_trigo_level_ptr;
};
