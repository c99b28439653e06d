// An in-place radix-2 complex FFT for the table generator. Plain double arithmetic in a fixed
// order, so the same input gives the same bits on every run.
#pragma once

#include <complex>
#include <cstddef>
#include <map>
#include <vector>

class ComplexFft {
  public:
    explicit ComplexFft(size_t size); // size: a power of two, at least 2
    size_t size() const { return n; }
    void forward(std::vector<std::complex<double>>& data) const { transform(data, false); }
    // The inverse, including the division by the size.
    void inverse(std::vector<std::complex<double>>& data) const { transform(data, true); }

  private:
    void transform(std::vector<std::complex<double>>& data, bool inverse) const;

    size_t n;
    std::vector<std::complex<double>> twiddles; // exp(-2 pi i k / n), k < n / 2
    std::vector<size_t> reversed;               // bit-reversed index of every position
};

// Transforms by size, each made once: for code that transforms many responses of a few sizes.
class ComplexFftCache {
  public:
    const ComplexFft& of(size_t size) { return transforms.try_emplace(size, size).first->second; }

  private:
    std::map<size_t, ComplexFft> transforms;
};
