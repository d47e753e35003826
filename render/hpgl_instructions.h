// SPDX-License-Identifier: MIT
// What each HP-GL/2 instruction does to the plotter, grouped as HP-GL/2's
// reference groups them, one file a group. The interpreter's dispatch table
// (interpreter.cpp) names each instruction's functions; an instruction not
// there is read and passed over.
#ifndef ZELVO_HPGL_INSTRUCTIONS_H
#define ZELVO_HPGL_INSTRUCTIONS_H

#include "plotter.h"

#include <string_view>

namespace instruction {

// Configuration and status (configuration_instructions.cpp).
void initialise(Plotter &p, const Parameters &n);     // IN
void default_values(Plotter &p, const Parameters &n); // DF
void input_p1_p2(Plotter &p, const Parameters &n);    // IP
void input_relative(Plotter &p, const Parameters &n); // IR
void input_window(Plotter &p, const Parameters &n);   // IW
void advance_page(Plotter &p, const Parameters &n);   // PG
void plot_size(Plotter &p, const Parameters &n);      // PS
void rotate(Plotter &p, const Parameters &n);         // RO
void scale(Plotter &p, const Parameters &n);          // SC

// Vectors (vector_instructions.cpp).
void plot_absolute(Plotter &p);                                 // PA
void plot_relative(Plotter &p);                                 // PR
void pen_down(Plotter &p);                                      // PD
void pen_up(Plotter &p);                                        // PU
void coordinate_pair(Plotter &p, const double *pair);           // PA PR PD PU
void bezier_absolute(Plotter &p, const double *numbers);        // BZ
void bezier_relative(Plotter &p, const double *numbers);        // BR
void arc_absolute(Plotter &p, const Parameters &n);             // AA
void arc_relative(Plotter &p, const Parameters &n);             // AR
void three_point_arc_absolute(Plotter &p, const Parameters &n); // AT
void three_point_arc_relative(Plotter &p, const Parameters &n); // RT
void circle(Plotter &p, const Parameters &n);                   // CI
void encoded_data(Plotter &p, std::string_view data);           // PE
void encoded_end(Plotter &p, const Parameters &n);              // PE

// Polygons and fills (polygon_instructions.cpp).
void polygon_mode(Plotter &p, const Parameters &n);            // PM
void edge_polygon(Plotter &p, const Parameters &n);            // EP
void fill_polygon(Plotter &p, const Parameters &n);            // FP
void fill_rectangle_absolute(Plotter &p, const Parameters &n); // RA
void fill_rectangle_relative(Plotter &p, const Parameters &n); // RR
void edge_rectangle_absolute(Plotter &p, const Parameters &n); // EA
void edge_rectangle_relative(Plotter &p, const Parameters &n); // ER
void fill_wedge(Plotter &p, const Parameters &n);              // WG
void edge_wedge(Plotter &p, const Parameters &n);              // EW
void fill_type(Plotter &p, const Parameters &n);               // FT

// Lines and pens (line_instructions.cpp).
void line_attributes(Plotter &p, const Parameters &n); // LA
void line_type(Plotter &p, const Parameters &n);       // LT
void user_line_type(Plotter &p, const Parameters &n);  // UL
void pen_width(Plotter &p, const Parameters &n);       // PW
void width_unit(Plotter &p, const Parameters &n);      // WU
void number_of_pens(Plotter &p, const Parameters &n);  // NP
void pen_colour(Plotter &p, const Parameters &n);      // PC
void colour_range(Plotter &p, const Parameters &n);    // CR
void select_pen(Plotter &p, const Parameters &n);      // SP
void transparency(Plotter &p, const Parameters &n);    // TR

// Labels (label_instructions.cpp).
void label_begin(Plotter &p);                                    // LB
void label_text(Plotter &p, std::string_view text);              // LB
void label_end(Plotter &p, const Parameters &n);                 // LB
void terminator_begin(Plotter &p);                               // DT
void terminator(Plotter &p, std::string_view byte);              // DT
void terminator_mode(Plotter &p, const Parameters &n);           // DT
void symbol_begin(Plotter &p);                                   // SM
void symbol(Plotter &p, std::string_view byte);                  // SM
void absolute_direction(Plotter &p, const Parameters &n);        // DI
void relative_direction(Plotter &p, const Parameters &n);        // DR
void direction_vertical(Plotter &p, const Parameters &n);        // DV
void label_origin(Plotter &p, const Parameters &n);              // LO
void absolute_size(Plotter &p, const Parameters &n);             // SI
void relative_size(Plotter &p, const Parameters &n);             // SR
void slant(Plotter &p, const Parameters &n);                     // SL
void extra_space(Plotter &p, const Parameters &n);               // ES
void label_mode(Plotter &p, const Parameters &n);                // LM
void standard_font_definition(Plotter &p, const Parameters &n);  // SD
void alternate_font_definition(Plotter &p, const Parameters &n); // AD
void select_standard_font(Plotter &p, const Parameters &n);      // SS
void select_alternate_font(Plotter &p, const Parameters &n);     // SA
void character_plot(Plotter &p, const Parameters &n);            // CP

} // namespace instruction

// DT's mode 0 prints the label terminator as a character of the label.
void label_terminated(Plotter &p);

#endif
