#pragma once
// An in-memory device-independent bitmap in one block: a 40-byte info header,
// the colour table, and bottom-up pixel rows whose stride is a multiple of 4.
// Everything but Draw is pure arithmetic and builds natively as well.
#include <cstdint>
