// What the program's connection asks of the site configuration: the
// per-program lookups in the site's connection registry. The configuration
// layer implements it; the connection only holds the link, so the data-access
// layer stays below the configuration.
#pragma once

#include <string>

class TComponent;

class IVtConfigLookup {
 public:
  // The connect string registered for `AProgramID`; empty when the site has
  // no base connection string or `AProgramID` is empty. Registry errors pass on.
  virtual std::string GetConnectString(const std::string& AProgramID) = 0;
  // The help file registered for `AProgramID`; empty as GetConnectString.
  virtual std::string GetHelpPath(const std::string& AProgramID) = 0;
  // The log file registered for `AProgramID`; empty as GetConnectString.
  virtual std::string GetLogPath(const std::string& AProgramID) = 0;
  // The component that answers, by which stored descriptions name it and
  // whose removal the connection may be told of.
  virtual TComponent& LookupComponent() = 0;

 protected:
  ~IVtConfigLookup() = default;
};
