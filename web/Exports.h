#pragma once
// What the page's script calls: plain C functions over one session, the one
// the page shows. Numbers in, numbers out; words come back as a NUL-terminated
// string that stays valid until the next call that returns words.

extern "C" {

// The controls' description and the drawing commands' format, as JSON
// (web/Description.h).
const char* chain_description();

// A new session: the chain in its start state, the bars at their start values.
void chain_start();
// One pass of the session, drawn into the command list; returns how many
// commands the list holds.
int chain_pass();
// The command list of the last pass: chain_pass() commands of the size the
// description gives.
const double* chain_commands();

// The controls' handlers. Bar 0 is Mass of Center, bar 1 FEA Color Scale; an
// action is numbered as in the description's keys and actions.
void chain_nudge_left();
void chain_nudge_right();
// A key or click on a bar: its new value.
int chain_bar_act(int bar, int action);
// A bar's thumb let go at `value` (brought within the bar's range).
void chain_bar_set(int bar, int value);
int chain_bar_value(int bar);
// The quantity the bar now sets, in words.
const char* chain_bar_words(int bar);

// Whether words are due: 0 when not; else 1 when there is an announcement,
// plus 2 when the surface's description changed. Then chain_announcement()
// and chain_surface_words() give them.
int chain_words();
const char* chain_announcement();
const char* chain_surface_words();
}
