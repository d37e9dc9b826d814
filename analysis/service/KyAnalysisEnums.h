// The enumerations of the analysis service. Each is based on int, so that
// any integer a request or an answer holds (one read from a document, say)
// converts to it and back unchanged.
#pragma once

/// The analysis a request asks for, stored under "all:none:operation".
/// OPERATION_NONE is no code of the service: it is what a request whose
/// operation was never selected reads as.
enum KyAnalysisOperationEnum : int {
  OPERATION_NONE = -1,
  OPERATION_BREADTH_FIRST_SEARCH = 0,
  OPERATION_DEPTH_FIRST_SEARCH = 1,
  OPERATION_TOPOLOGICAL_SORT = 2,
  OPERATION_CONNECTED_COMPONENTS = 3,
  OPERATION_BICONNECTED_COMPONENTS = 4,
  OPERATION_STRONGLY_CONNECTED_COMPONENTS = 5,
  OPERATION_PATH_EXISTS_TEST = 6,
  OPERATION_UNIQUE_PATH_TEST = 7,
  OPERATION_DISJOINT_PATHS = 8,
  OPERATION_REACHABLE_NODES = 9,
  OPERATION_SHORTEST_PATHS = 10,
  OPERATION_ALL_PAIRS_SHORTEST_PATHS = 11,
  OPERATION_ACYCLIC_TEST = 12,
  OPERATION_NEW_CYCLE_TEST = 13,
  OPERATION_CYCLE_BREAKING_EDGE_DETECTION = 14,
  OPERATION_TREE_TEST = 15,
  OPERATION_MINIMUM_SPANNING_TREE = 16,
  OPERATION_MAXIMUM_FLOW = 17,
  OPERATION_MINIMUM_COST_FLOW = 18,
  OPERATION_MINIMUM_CUT = 19,
  OPERATION_CLUSTERING = 20,
  OPERATION_SORTED_PATHS = 21,
  OPERATION_ROOT_CAUSE = 22
};

/// Effort asked of clustering ("clustering:graph:quality").
enum KyClusteringQualityEnum : int {
  CLUSTERING_QUALITY_DRAFT = 0,
  CLUSTERING_QUALITY_MEDIUM = 1,
  CLUSTERING_QUALITY_PROOF = 2
};

/// Effort asked of cycle-breaking edge detection
/// ("cycleBreakingEdgeDetection:graph:quality").
enum KyCycleBreakingQualityEnum : int {
  CYCLEBREAKING_QUALITY_DRAFT = 0,
  CYCLEBREAKING_QUALITY_MEDIUM = 1,
  CYCLEBREAKING_QUALITY_PROOF = 2
};

/// The kind of an edge in a depth-first search ("depthFirstSearch:edge:type").
/// EDGE_TYPE_NONE is what an edge without a stored type reads as.
enum KyAnalysisEdgeTypeEnum : int {
  EDGE_TYPE_NONE = 0,
  EDGE_TYPE_TREE = 1,
  EDGE_TYPE_BACK = 2,
  EDGE_TYPE_FORWARD = 3,
  EDGE_TYPE_CROSS = 4
};

/// How an edge of the path graph of a sorted-paths answer extends a path
/// ("sortedPaths:edge:type"): by replacing the path's last sidetrack edge
/// with the one its target node stands for, or by appending that one after
/// it. Readers take any value other than SORTED_PATHS_EDGE_REPLACE as an
/// append.
enum KySortedPathsEdgeTypeEnum : int {
  SORTED_PATHS_EDGE_REPLACE = 1,
  SORTED_PATHS_EDGE_APPEND = 2
};
