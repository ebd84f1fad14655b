#include "sync/synch_log_lines.h"

std::string BlockRule() {
  return "===========================";
}

std::string LocationReleasedLine(const TLogLocation& ALocation) {
  return "  LOCATION : [ " + ALocation.Name + " ] / CODE : [ " + ALocation.Code + " ] / KEY : [ " +
         std::to_string(ALocation.Key) + " ] - STATUS : All Containers Available";
}

std::string ContainerLine(const TLogLocation& ALocation, const std::string& AContainerName,
                          std::int32_t AContainerKey) {
  return " LOCATION : [ " + ALocation.Name + " ] - CODE : [ " + ALocation.Code + " ] - KEY : [ " +
         std::to_string(ALocation.Key) + " ] / CONTAINER: [ " + AContainerName +
         " ] / CONTAINER_ID: [ " + std::to_string(AContainerKey) + " ]";
}

std::string InmateLine(const TDataSet& AInmates) {
  return " --> " + AInmates.FieldByName("LNAME").AsString() + ", " +
         AInmates.FieldByName("FNAME").AsString() + " " + AInmates.FieldByName("MNAME").AsString() +
         " - BookNo: " + AInmates.FieldByName("BOOKNO").AsString();
}

std::string SomeAvailableLine(const TLogLocation& ALocation) {
  return StatusLine(ALocation, "Some Containers Available");
}

std::string StatusLine(const TLogLocation& ALocation, const std::string& AStatusText) {
  return "  LOCATION : [ " + ALocation.Name + " ] - CODE : [ " + ALocation.Code + " ] - ID : [ " +
         std::to_string(ALocation.Key) + " ] - STATUS : " + AStatusText;
}

std::string OverUseLine(const TLogLocation& ALocation) {
  return " LOCATION : [ " + ALocation.Name + " ] - CODE : [ " + ALocation.Code + " ] - KEY : [ " +
         std::to_string(ALocation.Key) + " ]" +
         " / You had more inmates assing to containers on thsi location than containers "
         "available, " +
         "to fix this problem you need to copy the following inmates list and manually correct "
         "the discrepancy ";
}
