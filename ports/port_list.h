// Port lists: port names as the spooler knows them, appended in discovery order, never cleared
// and never rid of duplicates.
#pragma once

#include <string>
#include <vector>

using CStringArray = std::vector<std::string>;
