#include "lottery/digit_games.h"

#include "shell/report.h"

namespace fortelle {

std::string Pick3Report()
{
    return WholeTextReport("\n"
                           "The pick-3 game draws 3 digits from 0 to 9; e.g. 090.\n"
                           "\n"
                           "The odds of the pick-3 game are:\n"
                           "\n"
                           " - straight pick: 1 in 1000;\n"
                           " - boxed: 1 in 220;\n"
                           " - front/back pair: 1 in 100.\n");
}

std::string Pick4Report()
{
    return WholeTextReport("\n"
                           "The pick-4 game draws 4 digits from 0 to 9; e.g. 0903.\n"
                           "\n"
                           "The odds of the pick-4 game are:\n"
                           "\n"
                           " - straight pick: 1 in 10,000;\n"
                           " - boxed: 1 in 715;\n"
                           " - front/back 3-digits: 1 in 1000.\n");
}

} // namespace fortelle
