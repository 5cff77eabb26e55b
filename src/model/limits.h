#pragma once

namespace kelmor {

// Hard limits of the model tables; going past one raises error 9.
inline constexpr int MaxItems = 3000;         // highest face number and vertex number
inline constexpr int MaxFaceVertices = 40;    // highest position within one face
inline constexpr int MaxEdges = 10000;        // highest row of the marked-edge and edge tables
inline constexpr int MaxRealmRows = 2 * MaxItems;
inline constexpr int MaxSegments = 5;
inline constexpr int MaxNeighbours = 40;      // adjacency entries per vertex
inline constexpr int MaxHopVertex = 1500;     // hop-distance table rows 0..1500
inline constexpr int MaxIsomorphs = 100;      // signature slots 1..100
inline constexpr int MaxSides = 40;           // regular polygon tables: sides 0..40
inline constexpr int MaxStep = 12;            // regular polygon tables: steps 0..12

}  // namespace kelmor
