#pragma once

#include "GesturePoint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

// The 64-bit argument of a gesture message, by kind. The producer decodes
// it; on Linux, where the system sends no gesture messages, the gesture
// source encodes it. Both sides live here so that they cannot drift apart.
//
//   zoom, two-finger tap  distance between the contacts, low 32 bits
//   pan                   distance, low 32 bits; inertia vector, high 32 bits
//   rotate                angle, -2pi..2pi over 0..65535
//   press and tap         offset of the second finger, low 32 bits
//
// Points travel as two signed 16-bit halves of a 32-bit word: the lower is
// x, the upper y.
namespace Zentar::App::GestureArgument
{

// The decoding formula's own constants, kept to the digit so that angles
// decode as they always have; the encoder inverts the same formula.
inline constexpr double kPi = 3.14159265;
inline constexpr double kTwoPi = 6.2831853;
inline constexpr double kAngleSteps = 65535.0;

// Gesture messages carry signed 16-bit coordinates, in their points as in
// the halves of an argument.
inline int16_t Clamp16(double value)
{
    return static_cast<int16_t>(std::clamp(std::round(value), -32768.0, 32767.0));
}

inline uint32_t PackHalves(PointF p)
{
    const auto half = [](double v) { return static_cast<uint32_t>(static_cast<uint16_t>(Clamp16(v))); };
    return half(p.x()) | (half(p.y()) << 16);
}

inline Point SplitHalves(uint32_t word)
{
    return Point(static_cast<int16_t>(word & 0xFFFF), static_cast<int16_t>(word >> 16));
}

inline uint32_t Low(uint64_t argument)
{
    return static_cast<uint32_t>(argument & 0xFFFFFFFFu);
}

inline uint32_t High(uint64_t argument)
{
    return static_cast<uint32_t>(argument >> 32);
}

inline uint64_t EncodeDistance(double distance)
{
    return static_cast<uint64_t>(std::llround(distance));
}

inline uint32_t DecodeDistance(uint64_t argument)
{
    return Low(argument);
}

inline uint64_t EncodeInertiaVector(PointF vector)
{
    return static_cast<uint64_t>(PackHalves(vector)) << 32;
}

// Taken whether or not the message carries the inertia flag.
inline Point DecodeInertiaVector(uint64_t argument)
{
    return SplitHalves(High(argument));
}

// Angles outside -2pi..2pi are clamped to the ends.
inline uint64_t EncodeAngle(double radians)
{
    const double scaled = (radians + kTwoPi) / (4.0 * kPi) * kAngleSteps;
    return static_cast<uint64_t>(std::llround(std::clamp(scaled, 0.0, kAngleSteps)));
}

// The whole argument counts, not only its low 16 bits.
inline double DecodeAngle(uint64_t argument)
{
    return static_cast<double>(argument) / kAngleSteps * 4.0 * kPi - kTwoPi;
}

inline uint64_t EncodeTapOffset(PointF offset)
{
    return PackHalves(offset);
}

inline Point DecodeTapOffset(uint64_t argument)
{
    return SplitHalves(Low(argument));
}

} // namespace Zentar::App::GestureArgument
