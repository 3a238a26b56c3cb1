#pragma once

#include "platform/paths.h"

#include <QString>

// The deck a new user starts with. An installed program with no settings file yet copies its
// sample deck into the user's deck folder (unless a copy is there already, which is kept with its
// counts) and returns that copy's path, so that cards come at once. Otherwise, and when the copy
// cannot be made, returns an empty string: the stored choice stands, and a deleted sample is not
// brought back.
QString firstStartDeck(const platform::paths::Layout& layout);
