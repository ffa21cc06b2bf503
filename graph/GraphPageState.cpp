#include "graph/GraphPageState.h"

GraphPageState::GraphPageState() { ClearFileValues(); }

void GraphPageState::ClearFileValues() { m_anFileValues.fill(kNoValue); }
