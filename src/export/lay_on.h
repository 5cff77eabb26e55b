#pragma once

#include <string>

#include "export/export_list.h"
#include "export/mesh.h"
#include "output/solution_snapshot.h"

namespace kelmor {

// The solution turned for printing: the chosen face (or, for a solid with no face on its
// outside, such as a star solid, the plane through its outermost points) faces the bed,
// its outward normal along -z. Largest picks the plane with the largest contact; of
// equal ones the one whose contact centre lies nearest below the centre of mass, so the
// print stands steadiest. A face that cannot be laid on (no such face, or one that is
// not on the outside) puts the reason in warning and lays the model on the largest
// face instead.
SolutionSnapshot LaidOn(const SolutionSnapshot& s, const LayOn& how, std::string& warning);

// The mesh on the bed: its lowest point at z = 0, its extent in x and y centred on the
// origin.
Mesh OnTheBed(Mesh mesh);

}  // namespace kelmor
