// TPersistent: the base of everything a stored description can hold values
// for: components and the option objects nested in them.
#pragma once

class TPersistent {
 public:
  TPersistent() = default;
  virtual ~TPersistent() = default;
  TPersistent(const TPersistent&) = delete;
  TPersistent& operator=(const TPersistent&) = delete;
};
