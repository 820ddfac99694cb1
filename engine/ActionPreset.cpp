#include "engine/ActionPreset.h"
namespace brelkin {
const PresetTable& BuiltInPresets() { static const PresetTable t{}; return t; }
}
