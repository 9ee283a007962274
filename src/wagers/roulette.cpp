#include "wagers/roulette.h"

#include "shell/report.h"

namespace fortelle {

std::string RouletteReport()
{
    // Every bet row is 52 characters: label from column 1, the single-zero
    // figure from column 29, the double-zero figure from column 42.
    return WholeTextReport("\n"
                           "       Various odds at 0 and 00 roulette\n"
                           "\n"
                           "===================================================\n"
                           " Type of Bet                Single 0     Double 0\n"
                           "===================================================\n"
                           " - straight-up (1 number):  1 in 37      1 in 38    \n"
                           " - split (2 numbers):       1 in 18.5    1 in 19    \n"
                           " - street (3 numbers):      1 in 12.3    1 in 12.7  \n"
                           " - corner (4 numbers):      1 in 9.25    1 in 9.5   \n"
                           " - fiveline (5 numbers):    1 in 7.4     1 in 7.6   \n"
                           " - sixline (6 numbers):     1 in 6.2     1 in 6.3   \n"
                           " - column (12 numbers):     1 in 3.1     1 in 3.2   \n"
                           " - dozen (12 numbers):      1 in 3.1     1 in 3.2   \n"
                           " - black/red (18 numbers):  1 in 2.06    1 in 2.11  \n"
                           " - even/odd (18 numbers):   1 in 2.06    1 in 2.11  \n"
                           " - low/high (18 numbers):   1 in 2.06    1 in 2.11  \n"
                           "===================================================\n");
}

} // namespace fortelle
