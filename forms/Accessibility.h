// What assistive technology (screen readers) sees of the windows built from these controls:
// picture boxes, named picture buttons it can press, and the labels a window chooses to show,
// with the changes a listener needs to hear about.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QRect>

#include "forms/Controls.h"

namespace forms {

// Lets assistive technology see every window built from these controls; more calls do nothing.
void enableAccessibility();

// One button made of two pictures at the same place, the front one shown lit and the twin
// behind it at rest: a reader finds a single button, shown while either picture is, whose
// press runs press.
void exposeButton(Picture& front, Picture& twin, const std::string& name, std::function<void()> press);

// Shows a label to assistive technology, named by its legend (if any) followed by its caption;
// a label that takes clicks is a button whose press runs its click handler.
void exposeLabel(Label& label, const std::string& legend = {});

// A label whose caption is news: every change of it reaches a listener.
void exposeReadOut(Label& label, const std::string& legend);

// A label that takes clicks and counts as the chosen one while mark is shown; a listener hears
// when it becomes chosen or stops being chosen.
void exposeChoice(Label& label, Label& mark);

// Part of a label's caption, shown as an element of its own.
struct LabelPart {
    QRect cells;      // the columns and lines of the caption it covers, in character cells
    std::string name; // a picture's short name; empty for a part that reads as text
    std::string text; // what a reader reads of a text part, its lines joined by line feeds
};

// Shows a label as the parts it is made of (art beside readable text) instead of its caption.
void exposeLabelParts(Label& label, std::vector<LabelPart> parts);

// True while a modal box keeps the window of w from taking input: a press by assistive
// technology is then refused, as the pointer and the keys are.
bool blockedByModalBox(const QWidget& w);

} // namespace forms
