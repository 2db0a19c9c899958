// The program's icon: a bundle of log pages tied into an archive box,
// drawn at run time so no image file has to travel with the program.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace pelsok::ui {

QPixmap ProgramPixmap(int size);
QIcon ProgramIcon();

}  // namespace pelsok::ui
