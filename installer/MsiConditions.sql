-- Applied to the packages after wixl, which writes no component conditions.
-- One query a line; lines starting with -- are skipped. A component whose
-- property is not given writes nothing. REMOVE~="ALL" keeps each component
-- enabled for the uninstall (and a major upgrade's removal of the older
-- version), so that it takes away what it wrote at any earlier install.
UPDATE `Component` SET `Condition` = 'NOT NOAUTOSTART="1" OR REMOVE~="ALL"' WHERE `Component` = 'LogonStart'
UPDATE `Component` SET `Condition` = 'PRESET OR REMOVE~="ALL"' WHERE `Component` = 'DefaultPreset'
UPDATE `Component` SET `Condition` = 'DRIVER="BDA" OR REMOVE~="ALL"' WHERE `Component` = 'DriverBda'
UPDATE `Component` SET `Condition` = 'DRIVER="WDM" OR REMOVE~="ALL"' WHERE `Component` = 'DriverWdm'
UPDATE `Component` SET `Condition` = 'POLL OR REMOVE~="ALL"' WHERE `Component` = 'PollPeriod'
UPDATE `Component` SET `Condition` = 'LONGPRESS OR REMOVE~="ALL"' WHERE `Component` = 'LongPress'
UPDATE `Component` SET `Condition` = 'DOUBLEPRESS OR REMOVE~="ALL"' WHERE `Component` = 'DoublePress'
-- Brelkin in every session holds its files, so before any file is replaced or
-- removed it is ended, as the system account of the install can: no message
-- reaches another session's program from here (a type 34 action, deferred, not
-- impersonated, its exit code ignored: none running is no fault).
INSERT INTO `CustomAction` (`Action`, `Type`, `Source`, `Target`) VALUES ('EndBrelkin', 3170, 'TARGETDIR', '"[@SYSTEM_FOLDER@]taskkill.exe" /F /IM Brelkin.exe /IM BrelkinCameraHost32.exe /IM BrelkinCameraHost64.exe /IM BrelkinCameraHost.exe')
INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('EndBrelkin', 1510)
-- wixl schedules the removal of an older version after InstallFinalize; right
-- after InstallInitialize (and the action above) the older one is gone before
-- any file is compared.
UPDATE `InstallExecuteSequence` SET `Sequence` = 1520 WHERE `Action` = 'RemoveExistingProducts'
