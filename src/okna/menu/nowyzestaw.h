#pragma once

#include <QtGlobal>

// The chooser's answer to the editor: 1 for a new set, 0 for an existing one. The editor reads
// it once when its window loads.
inline qint16 nowyzestaw = 0;
