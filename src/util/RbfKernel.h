#pragma once
// The radial basis functions of the surface interpolation: the settings store one as their
// interpolation function (the Grid Setting dialog offers the first three), the interpolator
// evaluates it. r is the distance between two normalised points, c the kernel parameter.

#include <cstdint>

enum RbfKernel : int32_t {
    RbfMultiquadric = 0,     // sqrt(r^2 + c^2)
    RbfMadychNelson = 1,     // -2 sqrt(pi (r^2 + 1)), parameter unused
    RbfThinPlateSpline = 2,  // (r^2 + c^2) ln(r^2 + c^2)
    RbfCubicMultiquadric = 3,// (r^2 + c^2)^1.5
    RbfLogarithmic = 4,      // ln(r^2 + (c + 1)^2)
    RbfGaussian = 5,         // exp(-c r^2)
};
