// A dataset's Options and its RefreshOptions set.
#pragma once

#include <initializer_list>

#include "core/persistent.h"

class TCustomDADataSet;

enum TRefreshOption { roAfterInsert, roAfterUpdate, roBeforeEdit };

// A set of TRefreshOption.
class TRefreshOptions {
 public:
  TRefreshOptions() = default;
  TRefreshOptions(std::initializer_list<TRefreshOption> AOptions) {
    for (TRefreshOption option : AOptions) Include(option);
  }
  bool Contains(TRefreshOption AOption) const { return (FBits & Bit(AOption)) != 0; }
  void Include(TRefreshOption AOption) { FBits |= Bit(AOption); }
  void Exclude(TRefreshOption AOption) { FBits &= ~Bit(AOption); }

 private:
  static unsigned Bit(TRefreshOption AOption) { return 1u << AOption; }
  unsigned FBits = 0;
};

// The options of a data-access dataset. Owned by its dataset; the defaults
// are those of the base class, derived options classes change them in their
// constructor.
class TDADataSetOptions : public TPersistent {
 public:
  explicit TDADataSetOptions(TCustomDADataSet* AOwner) : FOwner(AOwner) {}
  virtual ~TDADataSetOptions() = default;
  TDADataSetOptions(const TDADataSetOptions&) = delete;
  TDADataSetOptions& operator=(const TDADataSetOptions&) = delete;

  TCustomDADataSet* Owner() const { return FOwner; }

  // Trailing blanks (0x20 only) removed from char/nchar values. Default true.
  bool TrimFixedChar() const { return FTrimFixedChar; }
  void SetTrimFixedChar(bool AValue) { FTrimFixedChar = AValue; }
  // Trailing blanks removed from varchar/nvarchar values. Default false.
  bool TrimVarChar() const { return FTrimVarChar; }
  void SetTrimVarChar(bool AValue) { FTrimVarChar = AValue; }
  // Generated statements enclose every name in brackets. Default false.
  bool QuoteNames() const { return FQuoteNames; }
  void SetQuoteNames(bool AValue) { FQuoteNames = AValue; }
  // Stored only: every result is read whole, so the count is always exact.
  bool QueryRecCount() const { return FQueryRecCount; }
  void SetQueryRecCount(bool AValue) { FQueryRecCount = AValue; }
  // Stored only: a detail re-queries at once (milliseconds; default 0).
  int DetailDelay() const { return FDetailDelay; }
  void SetDetailDelay(int AValue) { FDetailDelay = AValue; }
  // Stored only: the server filters a detail's rows. Default false.
  bool LocalMasterDetail() const { return FLocalMasterDetail; }
  void SetLocalMasterDetail(bool AValue) { FLocalMasterDetail = AValue; }
  // Stored only: the link condition is a plain equality. Default false.
  bool MasterFieldsNullable() const { return FMasterFieldsNullable; }
  void SetMasterFieldsNullable(bool AValue) { FMasterFieldsNullable = AValue; }
  // Execute prepares first. Default false.
  bool AutoPrepare() const { return FAutoPrepare; }
  void SetAutoPrepare(bool AValue) { FAutoPrepare = AValue; }

 private:
  TCustomDADataSet* FOwner;
  bool FTrimFixedChar = true;
  bool FTrimVarChar = false;
  bool FQuoteNames = false;
  bool FQueryRecCount = false;
  int FDetailDelay = 0;
  bool FLocalMasterDetail = false;
  bool FMasterFieldsNullable = false;
  bool FAutoPrepare = false;
};
