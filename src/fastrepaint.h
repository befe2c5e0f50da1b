#ifndef ZENTROVA_FASTREPAINT_H
#define ZENTROVA_FASTREPAINT_H

// Before Qt 5 repaints a widget it compares it with every sibling stacked
// above it, to leave out what they cover, and does so even for a widget
// scrolled out of sight. The sample table's fields are siblings of each
// other, thousands of them at 1000 rows, so rewriting the table (a
// precision change, a removal) spent most of its time in that comparison.
// Nothing in this window overlaps but the caption strip, which is painted
// after the rows it covers, so the comparison is switched off: what is
// painted is the same, only sooner. Call before the first window is painted.
void Enable_Fast_Repaint();

#endif
