#pragma once
class QDir;

// Writes the icon into outputDir/icons/hicolor: scalable SVG and PNGs of
// every size a menu asks for. False when a file could not be written.
bool MakeIcons(const QDir& outputDir);
