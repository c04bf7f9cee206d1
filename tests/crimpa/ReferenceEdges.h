#pragma once
#include "mesh/LinearEdges.h"
