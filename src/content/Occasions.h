// The occasions cards are made for, in the order the gallery and the verse dialog show them.
// Designs and verses share them, so a search by occasion finds both.
#pragma once

#include <QStringList>

namespace bb {

const QStringList& cardOccasions();

}  // namespace bb
