#include "sync/property_declarations.h"

#include <stdexcept>
#include <string>

namespace {

TColumnDeclaration Text(std::string_view AName, int ASize) {
  return {AName, ftString, ASize};
}
TColumnDeclaration Int32(std::string_view AName) {
  return {AName, ftInteger};
}
TColumnDeclaration Boolean(std::string_view AName) {
  return {AName, ftBoolean};
}
// The keys the database assigns.
TColumnDeclaration Key64(std::string_view AName) {
  return {AName, ftLargeint, 0, true};
}

}  // namespace

const std::vector<TTableDeclaration>& PropertyTableDeclarations() {
  static const std::vector<TTableDeclaration> declarations = {
      {"tblWarderly",
       "WARDERLY",
       "",
       "",
       {Text("BOOKNO", 15), Text("KORAID", 15), Text("LNAME", 15), Text("FNAME", 15),
        Text("MNAME", 15), Boolean("NAMERELEAS")}},
      {"tblCFGPropertyContainers",
       "CFGPROPC",
       "dtsCFGPropertyLocations",
       "LOCKEY",
       {Int32("LOCKEY"), Text("LOCATIONCODE", 5), Text("CONTAINER", 30), Boolean("AVAILABLE"),
        Key64("CONTAINERID")}},
      {"tblCFGPropertyLocation",
       "CFGPROPL",
       "",
       "",
       {Text("LOCATIONCODE", 5), Text("LOCATION", 30), Int32("ALLOW"), Int32("ONLOC"),
        Boolean("AVAILABLE"), Key64("LOCKEY")}},
      {"tblInmProperty",
       "WRIPROP",
       "dtsWarderly",
       "BOOKNO",
       {Text("PROPERTYNO", 15),    Text("BOOKNO", 15),
        Text("KORAID", 15),        Int32("GROUPID"),
        {"COMMENTS", ftMemo},      {"RECDATE", ftDate},
        {"RECTIME", ftTime},       Text("RECOFFNO", 15),
        Text("RECOFFNAME", 50),    {"RETDATE", ftDate},
        {"RETTIME", ftTime},       Text("RETOFFNO", 15),
        Text("RETOFFNAME", 50),    Boolean("PROPRELEASE"),
        Text("RELEASETONAME", 50), Text("RELEASETOMNINO", 15),
        Text("LOCATION", 30),      Text("LOCATIONCODE", 5),
        Int32("LOCKEY"),           Boolean("VIC_UPDATE")}},
      {"tblInmPropertyItems",
       "WRPITEMS",
       "",
       "",
       {Text("PROPITEMNO", 15),  Text("PROPERTYNO", 15),     Text("BOOKNO", 15),
        Text("KORAID", 15),      Int32("GROUPID"),           Int32("QTY"),
        Text("DESCRIPTION", 45), Text("LOCATION", 30),       {"COMMENTS", ftMemo},
        Boolean("CASH"),         {"CASHAMOUNT", ftCurrency}, Boolean("CHECK"),
        Boolean("MONEYORDER"),   Text("CHECKNUMBER", 20),    Text("MONEYORDERNUM", 20),
        Boolean("RELEASE"),      Text("RELEASENAME", 50),    Text("RELEASETOMNI", 15),
        Int32("CONTAINERID"),    Boolean("VIC_UPDATE"),      Int32("LOCKEY")}},
  };
  return declarations;
}

const TTableDeclaration& PropertyTableDeclaration(std::string_view ADataSet) {
  for (const TTableDeclaration& declaration : PropertyTableDeclarations()) {
    if (declaration.DataSet == ADataSet) return declaration;
  }
  throw std::out_of_range("no property table dataset " + std::string(ADataSet));
}
