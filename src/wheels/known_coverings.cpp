// Best known covering sizes, from the La Jolla Covering Repository.
//
// Source: Daniel M. Gordon, La Jolla Combinatorics Repository, covering
// designs (https://github.com/dmgordo/LJCR, notebook
// coverings/covering_designs.ipynb at commit 459bcaf, its tables of
// C(v,9,6), C(35,9,5) and C(7,3,2); and the same notebook in the
// repository's Zenodo record, doi:10.5281/zenodo.10779737, its table of
// C(v,8,5)). Licence: Creative Commons Attribution 4.0 International
// (CC-BY-4.0), copyright (c) 2022 Daniel M. Gordon; the figures are copied
// unchanged. Every size here is one the repository's own pages show; none
// is recalled or derived. Sizes the builder meets by construction (the
// Steiner systems) need no entry: they equal the lower bound.
#include "wheels/designs.h"

namespace fortelle::wheels {

const char* const kKnownCoveringsSource =
    "La Jolla Covering Repository, Daniel M. Gordon (github.com/dmgordo/LJCR, CC-BY-4.0)";

const std::vector<KnownCovering>& KnownCoverings()
{
    // v, k, t, best known size, lower bound
    static const std::vector<KnownCovering> table{
        {7, 3, 2, 7, 7},        {10, 8, 5, 8, 8},       {11, 8, 5, 16, 16},     {12, 8, 5, 26, 26},
        {13, 8, 5, 42, 33},     {14, 8, 5, 55, 49},     {10, 9, 6, 7, 7},       {11, 9, 6, 10, 10},
        {12, 9, 6, 22, 22},     {13, 9, 6, 39, 38},     {14, 9, 6, 68, 52},     {15, 9, 6, 99, 82},
        {16, 9, 6, 169, 134},   {17, 9, 6, 242, 197},   {18, 9, 6, 395, 294},   {19, 9, 6, 581, 406},
        {20, 9, 6, 820, 587},   {21, 9, 6, 1060, 766},  {22, 9, 6, 1511, 1054}, {23, 9, 6, 2020, 1350},
        {24, 9, 6, 2476, 1787}, {35, 9, 5, 4774, 2975},
    };
    return table;
}

std::optional<KnownCovering> FindKnownCovering(int v, int k, int t)
{
    for (const KnownCovering& c : KnownCoverings()) {
        if (c.v == v && c.k == k && c.t == t) return c;
    }
    return std::nullopt;
}

} // namespace fortelle::wheels
