// The error raised when the site configuration file cannot be found or read.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "core/exception.h"

class EIniFileException : public Exception {
 public:
  using Exception::Exception;
  // The search found no file: `APlaces` are the names it looked at, in
  // order, so that whoever installs the program sees where it was expected.
  EIniFileException(std::string AMessage, std::vector<std::string> APlaces)
      : Exception(std::move(AMessage)), FPlaces(std::move(APlaces)) {}

  // Empty unless the error is the failed search.
  const std::vector<std::string>& PlacesLookedAt() const { return FPlaces; }

 private:
  std::vector<std::string> FPlaces;
};
