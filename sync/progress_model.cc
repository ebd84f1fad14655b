#include "sync/progress_model.h"

#include <algorithm>

void TProgressModel::SetPosition(int AValue) {
  FPosition = std::clamp(AValue, FMin, FMax);
}

void TProgressModel::SetMax(int AValue) {
  FMax = std::max(AValue, FMin);
  SetPosition(FPosition);
}

void TProgressModel::StepIt() {
  FPosition += FStep;
  if (FPosition > FMax) FPosition = FMin;
}
