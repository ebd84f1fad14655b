// The datasets are not part of these tests; the connection's factory for them
// still needs a body to link.
#include "core/exception.h"
#include "db/ms_connection.h"

TCustomDADataSet* TMSConnection::CreateDataSet(TComponent*) {
  throw Exception("no datasets in this test");
}
