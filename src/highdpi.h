#ifndef ZENTROVA_HIGHDPI_H
#define ZENTROVA_HIGHDPI_H

// Qt 5 leaves high-DPI scaling off: on a screen at 2x the fonts would grow
// but the fixed pixel sizes would not, and the code fields would cut their
// digits. Call before the application object exists.
void Enable_High_Dpi();

#endif
