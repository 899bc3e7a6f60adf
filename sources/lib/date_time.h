// Points in time as the program stores and shows them: days, with the time of
// day as the fraction, counted from 30 December 1899.
#pragma once

using TDateTime = double;

inline constexpr double MillisecondsPerDay = 86400000.0;

TDateTime Now();
