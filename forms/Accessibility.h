// What assistive technology (screen readers) sees of the windows built from these controls:
// picture boxes, named picture buttons it can press, and the labels a window chooses to show.
#pragma once

#include <functional>
#include <string>

#include "forms/Controls.h"

namespace forms {

// Lets assistive technology see every window built from these controls; more calls do nothing.
void enableAccessibility();

// Names a picture and makes it a button whose press runs press. A picture hidden behind
// another one in front of it counts as not shown.
void exposeButton(Picture& picture, const std::string& name, std::function<void()> press);

// Shows a label to assistive technology, named by its legend (if any) followed by its caption;
// a label that takes clicks is a button whose press runs its click handler.
void exposeLabel(Label& label, const std::string& legend = {});

} // namespace forms
