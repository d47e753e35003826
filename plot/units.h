// SPDX-License-Identifier: MIT
// The units plots, jobs and pages are measured in, each named once here.
#ifndef ZELVO_UNITS_H
#define ZELVO_UNITS_H

constexpr double kMillimetresPerInch = 25.4;
// HP-GL/2's plotter unit: 0.025 mm, 1016 to the inch.
constexpr double kPlotterUnit = 0.025; // millimetres
constexpr double kPlotterUnitsPerInch = 1016;
// PCL's units of length: points, and the decipoints of its picture frame
// and registration offsets; the printer keeps positions in centipoints.
constexpr double kPointsPerInch = 72;
constexpr double kDecipointsPerInch = 720;
constexpr double kCentipointsPerInch = 7200;
// PCL's own unit of position, 1/300 inch: logical page offsets and the
// printer's paper sizes are whole numbers of them.
constexpr double kPclUnitsPerInch = 300;

// Every pen's width after IN on a PCL 5 printer, millimetres.
constexpr double kInitialPenWidth = 0.35;

#endif
