#pragma once
class QImage;

// The strip of the six specified toolbar buttons, and the strip of the three
// run-control buttons that follow it.
QImage MakeToolbar();
QImage MakeRunToolbar();
