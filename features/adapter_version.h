// The adapter's own feature "AdapterVersion": the module's file version as text.
#pragma once

#include <string>

// "major.minor.build.revision"; empty when the version cannot be read.
std::string GetAdapterVersion();
