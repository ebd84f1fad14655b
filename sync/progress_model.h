// The progress bar's arithmetic, shared by the window and the tests: a
// position kept inside a range, and a step that starts the bar over from its
// minimum when it carries the position past the maximum (the platform's
// progress control does that; QProgressBar does not, so the window keeps one
// of these and shows its position).
#pragma once

class TProgressModel {
 public:
  int Min() const { return FMin; }
  int Max() const { return FMax; }
  int Position() const { return FPosition; }
  int Step() const { return FStep; }

  // The position is clamped into [Min, Max].
  void SetPosition(int AValue);
  // A maximum below Min is taken as Min; the position is clamped into the new range.
  void SetMax(int AValue);
  void SetStep(int AValue) { FStep = AValue; }
  // Adds Step to the position; past Max the position becomes Min.
  void StepIt();

 private:
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FStep = 10;
};
