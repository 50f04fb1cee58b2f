#pragma once

// Numbered metrics of the current application style (a BaseStyle); without
// one they answer built-in defaults. Indexes 0..11; any other gives 0.
int StyleMetric(int index);

// The current style's flag; false without a current style.
bool StyleFlag();

// Width of n units: n times metric 2 plus (n - 1) times metric 4.
int UnitsWidth(int n);
