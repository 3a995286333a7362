// The controls every window is built from: windowless labels, picture boxes (child windows
// that hold other controls) and borderless top-level forms, with twips geometry, pointer
// events with capture, and stacking in creation order.
#pragma once

#include "forms/Container.h"
#include "forms/Control.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Picture.h"
