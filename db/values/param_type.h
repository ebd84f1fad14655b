// The direction of a statement parameter.
#pragma once

enum TParamType { ptUnknown, ptInput, ptOutput, ptInputOutput, ptResult };
