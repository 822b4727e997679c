#include "favourites/Favourites.h"

#include "favourites/GbTexts.h"

namespace sorvane::favourites {

std::vector<ListColumn> favouriteColumns()
{
    return { { gb::titleHeader(), 90 }, { gb::artistHeader(), 90, true }, { "1", 0 }, { "2", 0 }, { "3", 0 },
        { "4", 0 }, { "5", 0 }, { "6", 0 } };
}

} // namespace sorvane::favourites
