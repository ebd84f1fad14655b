-- The AVAILABLE flags recomputed as a database administrator would by hand:
-- two set-based statements in one transaction on the jail database, no log.
-- The rules are the synchronization pass's: a booking is held while
-- NAMERELEAS is 0, an item counts while RELEASE is 0, and only locations of
-- CFGPROPL and their containers are touched. The benchmark times it beside
-- the pass; tests/sync checks that it settles the same flags.
SET NOCOUNT ON;
BEGIN TRANSACTION;

-- A container is in use when an unreleased item of a held booking lies in
-- it, unless its location holds no property of a held booking at all.
UPDATE CFGPROPC SET AVAILABLE = CASE
    WHEN EXISTS (SELECT 1 FROM WRIPROP p
                 WHERE p.LOCKEY = CFGPROPC.LOCKEY
                   AND p.BOOKNO IN (SELECT BOOKNO FROM WARDERLY WHERE NAMERELEAS = 0))
     AND EXISTS (SELECT 1 FROM WRPITEMS i
                 WHERE i.LOCKEY = CFGPROPC.LOCKEY AND i.CONTAINERID = CFGPROPC.CONTAINERID
                   AND i.[RELEASE] = 0
                   AND i.BOOKNO IN (SELECT BOOKNO FROM WARDERLY WHERE NAMERELEAS = 0))
    THEN 0 ELSE 1 END
WHERE LOCKEY IN (SELECT LOCKEY FROM CFGPROPL);

-- A location is available when it holds no property of a held booking, or
-- when some container of it is free (one without containers is not).
UPDATE CFGPROPL SET AVAILABLE = CASE
    WHEN NOT EXISTS (SELECT 1 FROM WRIPROP p
                     WHERE p.LOCKEY = CFGPROPL.LOCKEY
                       AND p.BOOKNO IN (SELECT BOOKNO FROM WARDERLY WHERE NAMERELEAS = 0))
    THEN 1
    WHEN EXISTS (SELECT 1 FROM CFGPROPC c WHERE c.LOCKEY = CFGPROPL.LOCKEY AND c.AVAILABLE = 1)
    THEN 1 ELSE 0 END;

COMMIT TRANSACTION;
