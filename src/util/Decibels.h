#pragma once
// Decibel arithmetic: levels add and average as energies, never as numbers.

#include <array>
#include <span>

// The octave bands of data columns 1..11, 16 Hz .. 16 kHz, and their A-weighting corrections
// (dB) at the band centres.
inline constexpr int kOctaveBandCount = 11;
inline constexpr std::array<double, kOctaveBandCount> kOctaveAWeighting = {
    -56.7, -39.4, -26.2, -16.1, -8.6, -3.2, 0.0, 1.2, 1.0, -1.1, -6.6};

// 10 log10(sum 10^(L/10)); minus infinity for no levels.
double EnergeticSum(std::span<const double> levels);
// 10 log10(mean 10^(L/10)); minus infinity for no levels.
double EnergeticMean(std::span<const double> levels);
