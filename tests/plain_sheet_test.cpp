// SPDX-License-Identifier: MIT
// The sheet of a plain plot on a paper, as the PDF route of the CUPS filters
// asks for it: held portrait or landscape for an orientation, and the plot
// fitted only where it does not fit as drawn.
#include "render.h"
#include "string_source.h"

#include <gtest/gtest.h>

#include <string>

TEST(PlainLayout, SheetHeldAndFitOnlyWhenLarger)
{
    // Drawings from the origin to their far corner: 100 x 25 mm, 500 x 100
    // mm and 25 x 100 mm, on A4.
    struct Drawing {
        std::string plot;
        Point far;
    };
    const Drawing small = {"IN;PU0,0;PD4000,1000;", {4000, 1000}};
    const Drawing large = {"IN;PU0,0;PD20000,4000;", {20000, 4000}};
    const Drawing tall = {"IN;PU0,0;PD1000,4000;", {1000, 4000}};
    const struct {
        const char *name;
        Drawing drawing;
        SheetShape sheet;
        bool fit;
        bool fit_if_larger;
        double sheet_width;
        double sheet_height;
        double drawn_width; // millimetres across the sheet
    } rows[] = {
        {"turned to the drawing", small, SheetShape::Drawing, false, false, 297, 210, 100},
        {"held portrait", small, SheetShape::Portrait, false, false, 210, 297, 100},
        {"held landscape", tall, SheetShape::Landscape, false, false, 297, 210, 25},
        {"fits as drawn", small, SheetShape::Drawing, false, true, 297, 210, 100},
        {"larger, fitted", large, SheetShape::Drawing, false, true, 297, 210, 277},
        {"larger, fitted portrait", large, SheetShape::Portrait, false, true, 210, 297, 190},
        {"fit enlarges", small, SheetShape::Drawing, true, false, 297, 210, 277},
        {"fit wins", small, SheetShape::Drawing, true, true, 297, 210, 277},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        StringSource source(row.drawing.plot);
        RenderOptions options;
        options.paper = find_paper("A4");
        options.sheet = row.sheet;
        options.fit = row.fit;
        options.fit_if_larger = row.fit_if_larger;
        const PlotLayout layout = plain_layout(measure_plot(source), options);
        EXPECT_DOUBLE_EQ(layout.sheet_width, row.sheet_width);
        EXPECT_DOUBLE_EQ(layout.sheet_height, row.sheet_height);
        const Point origin = layout.plot_to_sheet.apply({0, 0});
        const Point far = layout.plot_to_sheet.apply(row.drawing.far);
        EXPECT_NEAR(far.x - origin.x, row.drawn_width, 1e-9);
        // In the middle of the sheet.
        EXPECT_NEAR(origin.x + far.x, row.sheet_width, 1e-9);
        EXPECT_NEAR(origin.y + far.y, row.sheet_height, 1e-9);
    }
}
