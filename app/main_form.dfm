// The main window's non-visual components in creation order, with the values
// that differ from their classes' defaults. The window's start-up restores
// them from this text; the format is described in core/description_syntax.h.
//
// The datasets are the program's record-locking classes, which trim varchar
// values, quote names and re-read a row before editing by default, so none of
// those settings is stored. Each table declares its columns as fields
// (dataset name + column name), owned by the window.
// tblInmProperty's record order is set by the window's creation handler, not
// stored.

object tblWarderly: TVtMSTable
  Connection = dbJail
  TableName = 'WARDERLY'
end
object tblWarderlyBOOKNO: TStringField
  FieldName = 'BOOKNO'
  DataSet = tblWarderly
  Size = 15
end
object tblWarderlyKORAID: TStringField
  FieldName = 'KORAID'
  DataSet = tblWarderly
  Size = 15
end
object tblWarderlyLNAME: TStringField
  FieldName = 'LNAME'
  DataSet = tblWarderly
  Size = 15
end
object tblWarderlyFNAME: TStringField
  FieldName = 'FNAME'
  DataSet = tblWarderly
  Size = 15
end
object tblWarderlyMNAME: TStringField
  FieldName = 'MNAME'
  DataSet = tblWarderly
  Size = 15
end
object tblWarderlyNAMERELEAS: TBooleanField
  FieldName = 'NAMERELEAS'
  DataSet = tblWarderly
end
object tblCFGPropertyContainers: TVtMSTable
  Connection = dbJail
  TableName = 'CFGPROPC'
  MasterSource = dtsCFGPropertyLocations
  MasterFields = 'LOCKEY'
  DetailFields = 'LOCKEY'
end
object tblCFGPropertyContainersLOCKEY: TIntegerField
  FieldName = 'LOCKEY'
  DataSet = tblCFGPropertyContainers
end
object tblCFGPropertyContainersLOCATIONCODE: TStringField
  FieldName = 'LOCATIONCODE'
  DataSet = tblCFGPropertyContainers
  Size = 5
end
object tblCFGPropertyContainersCONTAINER: TStringField
  FieldName = 'CONTAINER'
  DataSet = tblCFGPropertyContainers
  Size = 30
end
object tblCFGPropertyContainersAVAILABLE: TBooleanField
  FieldName = 'AVAILABLE'
  DataSet = tblCFGPropertyContainers
end
object tblCFGPropertyContainersCONTAINERID: TLargeintField
  FieldName = 'CONTAINERID'
  DataSet = tblCFGPropertyContainers
  ReadOnly = True
end
object qryGeneric: TVtMSQuery
  Connection = dbJail
end
object tblCFGPropertyLocation: TVtMSTable
  Connection = dbJail
  TableName = 'CFGPROPL'
end
object tblCFGPropertyLocationLOCATIONCODE: TStringField
  FieldName = 'LOCATIONCODE'
  DataSet = tblCFGPropertyLocation
  Size = 5
end
object tblCFGPropertyLocationLOCATION: TStringField
  FieldName = 'LOCATION'
  DataSet = tblCFGPropertyLocation
  Size = 30
end
object tblCFGPropertyLocationALLOW: TIntegerField
  FieldName = 'ALLOW'
  DataSet = tblCFGPropertyLocation
end
object tblCFGPropertyLocationONLOC: TIntegerField
  FieldName = 'ONLOC'
  DataSet = tblCFGPropertyLocation
end
object tblCFGPropertyLocationAVAILABLE: TBooleanField
  FieldName = 'AVAILABLE'
  DataSet = tblCFGPropertyLocation
end
object tblCFGPropertyLocationLOCKEY: TLargeintField
  FieldName = 'LOCKEY'
  DataSet = tblCFGPropertyLocation
  ReadOnly = True
end
object dtsWarderly: TDataSource
  DataSet = tblWarderly
end
object dtsCFGPropertyLocations: TDataSource
  DataSet = tblCFGPropertyLocation
end
object dtsCFGPropertyContainers: TDataSource
  DataSet = tblCFGPropertyContainers
end
object tblInmProperty: TVtMSTable
  Connection = dbJail
  TableName = 'WRIPROP'
  MasterSource = dtsWarderly
  MasterFields = 'BOOKNO'
  DetailFields = 'BOOKNO'
end
object tblInmPropertyPROPERTYNO: TStringField
  FieldName = 'PROPERTYNO'
  DataSet = tblInmProperty
  Size = 15
end
object tblInmPropertyBOOKNO: TStringField
  FieldName = 'BOOKNO'
  DataSet = tblInmProperty
  Size = 15
end
object tblInmPropertyKORAID: TStringField
  FieldName = 'KORAID'
  DataSet = tblInmProperty
  Size = 15
end
object tblInmPropertyGROUPID: TIntegerField
  FieldName = 'GROUPID'
  DataSet = tblInmProperty
end
object tblInmPropertyCOMMENTS: TMemoField
  FieldName = 'COMMENTS'
  DataSet = tblInmProperty
end
object tblInmPropertyRECDATE: TDateField
  FieldName = 'RECDATE'
  DataSet = tblInmProperty
end
object tblInmPropertyRECTIME: TTimeField
  FieldName = 'RECTIME'
  DataSet = tblInmProperty
end
object tblInmPropertyRECOFFNO: TStringField
  FieldName = 'RECOFFNO'
  DataSet = tblInmProperty
  Size = 15
end
object tblInmPropertyRECOFFNAME: TStringField
  FieldName = 'RECOFFNAME'
  DataSet = tblInmProperty
  Size = 50
end
object tblInmPropertyRETDATE: TDateField
  FieldName = 'RETDATE'
  DataSet = tblInmProperty
end
object tblInmPropertyRETTIME: TTimeField
  FieldName = 'RETTIME'
  DataSet = tblInmProperty
end
object tblInmPropertyRETOFFNO: TStringField
  FieldName = 'RETOFFNO'
  DataSet = tblInmProperty
  Size = 15
end
object tblInmPropertyRETOFFNAME: TStringField
  FieldName = 'RETOFFNAME'
  DataSet = tblInmProperty
  Size = 50
end
object tblInmPropertyPROPRELEASE: TBooleanField
  FieldName = 'PROPRELEASE'
  DataSet = tblInmProperty
end
object tblInmPropertyRELEASETONAME: TStringField
  FieldName = 'RELEASETONAME'
  DataSet = tblInmProperty
  Size = 50
end
object tblInmPropertyRELEASETOMNINO: TStringField
  FieldName = 'RELEASETOMNINO'
  DataSet = tblInmProperty
  Size = 15
end
object tblInmPropertyLOCATION: TStringField
  FieldName = 'LOCATION'
  DataSet = tblInmProperty
  Size = 30
end
object tblInmPropertyLOCATIONCODE: TStringField
  FieldName = 'LOCATIONCODE'
  DataSet = tblInmProperty
  Size = 5
end
object tblInmPropertyLOCKEY: TIntegerField
  FieldName = 'LOCKEY'
  DataSet = tblInmProperty
end
object tblInmPropertyVIC_UPDATE: TBooleanField
  FieldName = 'VIC_UPDATE'
  DataSet = tblInmProperty
end
object dtsInmProperty: TDataSource
  DataSet = tblInmProperty
end
object tblInmPropertyItems: TVtMSTable
  Connection = dbJail
  TableName = 'WRPITEMS'
end
object tblInmPropertyItemsPROPITEMNO: TStringField
  FieldName = 'PROPITEMNO'
  DataSet = tblInmPropertyItems
  Size = 15
end
object tblInmPropertyItemsPROPERTYNO: TStringField
  FieldName = 'PROPERTYNO'
  DataSet = tblInmPropertyItems
  Size = 15
end
object tblInmPropertyItemsBOOKNO: TStringField
  FieldName = 'BOOKNO'
  DataSet = tblInmPropertyItems
  Size = 15
end
object tblInmPropertyItemsKORAID: TStringField
  FieldName = 'KORAID'
  DataSet = tblInmPropertyItems
  Size = 15
end
object tblInmPropertyItemsGROUPID: TIntegerField
  FieldName = 'GROUPID'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsQTY: TIntegerField
  FieldName = 'QTY'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsDESCRIPTION: TStringField
  FieldName = 'DESCRIPTION'
  DataSet = tblInmPropertyItems
  Size = 45
end
object tblInmPropertyItemsLOCATION: TStringField
  FieldName = 'LOCATION'
  DataSet = tblInmPropertyItems
  Size = 30
end
object tblInmPropertyItemsCOMMENTS: TMemoField
  FieldName = 'COMMENTS'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsCASH: TBooleanField
  FieldName = 'CASH'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsCASHAMOUNT: TCurrencyField
  FieldName = 'CASHAMOUNT'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsCHECK: TBooleanField
  FieldName = 'CHECK'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsMONEYORDER: TBooleanField
  FieldName = 'MONEYORDER'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsCHECKNUMBER: TStringField
  FieldName = 'CHECKNUMBER'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsMONEYORDERNUM: TStringField
  FieldName = 'MONEYORDERNUM'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsRELEASE: TBooleanField
  FieldName = 'RELEASE'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsRELEASENAME: TStringField
  FieldName = 'RELEASENAME'
  DataSet = tblInmPropertyItems
  Size = 50
end
object tblInmPropertyItemsRELEASETOMNI: TStringField
  FieldName = 'RELEASETOMNI'
  DataSet = tblInmPropertyItems
  Size = 15
end
object tblInmPropertyItemsCONTAINERID: TIntegerField
  FieldName = 'CONTAINERID'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsVIC_UPDATE: TBooleanField
  FieldName = 'VIC_UPDATE'
  DataSet = tblInmPropertyItems
end
object tblInmPropertyItemsLOCKEY: TIntegerField
  FieldName = 'LOCKEY'
  DataSet = tblInmPropertyItems
end
object dtsInmPropertyItems: TDataSource
  DataSet = tblInmPropertyItems
end

// The jail database connection. What is stored with it is only what the
// designer last connected to: linking VtConfigInfo with ProgramName already
// set replaces the whole connect string by the one the site registers for
// "JAIL", and every opening looks it up again. It is stored as connected but
// stays closed after loading; the first dataset that opens connects it.
object dbJail: TVtSQLDatabase
  Database = 'JAIL'
  Authentication = auWindows
  Options.Provider = 'SQLOLEDB.1'
  Server = '(local)'
  Connected = True
  LoginPrompt = False
  ProgramName = 'JAIL'
  VtConfigInfo = VtConfigInfo
end

// The site settings and registry lookups: reads the site configuration file
// already while it is created, and again when loading ends.
object VtConfigInfo: TVtConfigInfo
end
