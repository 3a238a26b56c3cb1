#pragma once

#include <QPoint>
#include <QString>
#include <optional>

class TrainerModel;
namespace platform {
class IniStore;
}

// The settings file "sorabi.ini" (platform::paths::Layout says where it lives), section "MAIN".
namespace settings {

QString section();

// The window's place when the file gives none: the top right corner, 5 pixels from the right.
inline int defaultLeft(int screenWidth, int windowWidth) {
    return screenWidth - windowWidth - 5;
}

// Reads every key into the model, in the order of the file's key table. Returns the remembered
// window position when FormPos is on (defaultLeftEdge is the default of "PosLeft").
std::optional<QPoint> load(const platform::IniStore& ini, TrainerModel& model, int defaultLeftEdge);

// Writes every key in the saving order; the position keys only when FormPos is on. The caller
// saves the store.
void save(platform::IniStore& ini, const TrainerModel& model, QPoint windowPos);

} // namespace settings
