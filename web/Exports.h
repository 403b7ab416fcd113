#pragma once
// What the page's script calls: plain C functions over one chain, the one the
// page shows. Numbers in, numbers out; words come back as a NUL-terminated
// string that stays valid until the next call that returns words.

#include <cstdint>

extern "C" {

// Builds the chain in its start state (every colour scale 1, the centre mass
// 1), forgets the user's actions and what was announced. Call it first.
void chain_start();
// One pass: the physics of every node, then the drawing of the whole chain
// into the command list. Returns how many commands the list holds.
int chain_pass();
// The command list of the last pass (web/Surface.h): six numbers a command.
const double* chain_commands();

// The controls' handlers.
void chain_nudge_left();
void chain_nudge_right();
void chain_mass_bar(int value);   // Mass of Center let go at `value`
void chain_scale_bar(int value);  // FEA Color Scale let go at `value`

// Bar 0 is Mass of Center, bar 1 FEA Color Scale. Field 0 minimum, 1 maximum,
// 2 arrow step, 3 page step, 4 start value; -1 for an unknown bar or field.
int chain_bar(int bar, int field);
// The bar's value after an action (web/BarStep.h); `value` for an unknown bar or action.
int chain_bar_step(int bar, int value, int action);
// The quantity a bar at `value` sets, in words.
const char* chain_bar_words(int bar, int value);

// What the surface shows, in words.
const char* chain_surface_words();
// Words to announce now, or "" when the chain's state has not changed since the
// last announcement (render/Announce.h); "" before the first pass.
const char* chain_announcement();

// The drawing surface in logical pixels, and its background (0xRRGGBB).
int chain_surface_width();
int chain_surface_height();
unsigned chain_background();

// The fingerprint of every drawing call since chain_start (web/CallHash.h), in hexadecimal.
const char* chain_call_hash();
}
