// The process-wide radio groups, kept in the item registry under its lock:
// a group name maps to its boxes in the order they joined. A group, once
// named, stays in the map when its last box leaves.
#pragma once

#include <string>

class CSkRadioBox;

// Appends the box to the group.
void RegisterRadio(const std::string& group, CSkRadioBox* box);
// Removes every occurrence of the box from the group.
void UnregisterRadio(const std::string& group, CSkRadioBox* box);
// Checks the box and unchecks every other checked box of the group. The
// unchecked boxes are repainted in their own views once the lock is given
// back, so no message is sent while it is held.
void SelectRadio(const std::string& group, CSkRadioBox* box);
