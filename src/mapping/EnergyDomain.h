#pragma once
// Interpolation in the energy domain: the levels L (dB) of a column are turned into energies
// 10^(L/10), the surface is interpolated from those, and every grid node is turned back into a
// level 10 log10(E). Sound adds by energy, so between a loud and a quiet point the map then shows
// what the two sources give together rather than the average of their decibels.
//
// Which points: every input point of the column, measured, boundary and conditioning alike,
// since all of them carry levels of the same quantity; they are all interpolated as energies.
//
// Scale: the energies are taken relative to the column's largest input level Lmax,
//     E_k = 10^((L_k - Lmax) / 10),      L = Lmax + 10 log10(E),
// so they lie in (0, 1] with the loudest point at exactly 1. The interpolation system does not
// depend on the values (only on the positions), so the scale leaves its condition as it is; what
// it keeps sound is the size of the numbers: absolute energies overflow a float beyond 385 dB
// and span 10^10 between 20 and 120 dB, while the relative ones keep the right-hand side and
// the weights near 1 and lose nothing to the float grid until 380 dB below the maximum.
//
// Where the interpolated energy is not positive (the interpolant swings below zero between a
// loud and a quiet point) there is no level: such a node takes the lowest measured level of the
// column (the lowest input level when the column has no measured point) and is counted.

#include <cstdint>

#include "util/TxTypes.h"

class CSurface3DData;

struct EnergyValues {
    CTXFloatArray energies;     // 10^((L_k - reference) / 10), one per input level
    float reference = 0.0f;     // the largest input level
    float lowestLevel = 0.0f;   // what a node without a positive energy shows
    // The level of a relative energy; lowestLevel when it is not positive (or not a number).
    double LevelOf(double energy) const;
};

// The energies of `levels`, whose first `measured` entries are the measured points (the rest
// boundary and conditioning points). Without any level all fields are empty or 0.
EnergyValues ToEnergies(const CTXFloatArray& levels, int32_t measured);
// Turns every node of `surface` from a relative energy into a level, refreshes the statistics
// (which then describe the levels) and returns how many nodes had no positive energy.
int32_t EnergiesToLevels(CSurface3DData& surface, const EnergyValues& scale);
