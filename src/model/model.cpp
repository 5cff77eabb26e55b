#include "model/model.h"

namespace kelmor {

void Model::Reset() {
  FaceVertex.resize(MaxItems, MaxFaceVertices, 0);
  FaceSize.resize(MaxItems, 0);
  FaceStep.resize(MaxItems, 0);
  FaceCode.resize(MaxItems);
  FaceCentre.resize(MaxItems, -1);
  VertexFlags.resize(MaxItems);
  VertexX.resize(MaxItems, 0.0);
  VertexY.resize(MaxItems, 0.0);
  VertexZ.resize(MaxItems, 0.0);
  PosX.resize(MaxItems, 0.0);
  PosY.resize(MaxItems, 0.0);
  PosZ.resize(MaxItems, 0.0);
  EdgeList.resize(MaxEdges, 3, 0);
  EdgeCount = 1;
  FaceCount = DigonCount = PolygonCount = 0;
  MinVertex = 999;
  MaxVertex = -1;
  CylinderMarks = CylinderMarks2 = FtrFlagsSeen = FaceASeen = FaceTSeen = 0;
  SegmentIndex = 1;
  SegmentCount = 1;
  RealmMode = 0;
  SegmentRealmMode.resize(MaxSegments, 0);
  SegmentFlags.resize(MaxSegments);
  SegmentRealmEnd.resize(MaxSegments, 0);
  RealmPoint.resize(MaxRealmRows, 3, 0.0);
  RealmSegment.resize(MaxRealmRows, 0);
  RealmMark.resize(MaxRealmRows, 0);
  RealmCount = 1;
  RealmFace.resize(MaxRealmRows, 4, 0);
  RealmFaceFrom.resize(MaxRealmRows, 4, 0);
  RealmCode.resize(MaxRealmRows);
  RealmFaceSize.resize(MaxRealmRows, 0);
  RealmFaceIndex = 1;
  StartVertex = 0;
  StartPositionsRead = false;
}

void Model::ResetSegment() {
  FaceCode.fill(std::string());
  VertexFlags.fill(std::string());
  FaceCentre.fill(-1);
  CylinderMarks = CylinderMarks2 = FaceASeen = FaceTSeen = 0;
  DigonCount = 0;
  RealmFaceIndex = 0;
  MaxVertex = -1;
  MinVertex = 999;
}

}  // namespace kelmor
