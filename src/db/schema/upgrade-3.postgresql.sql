-- Upgrade of a Quorvane PostgreSQL database from schema version 2 to 3: layout 0 of the voucher
-- face prints its text turned with the voucher, and the trust department's fax number becomes
-- a setting shared by every workstation. Applied by quorvane-db upgrade (SchemaInstaller) in
-- one transaction with the new version's record; postgresql.sql creates the same objects and data in
-- a new database.

-- The voucher is printed turned a quarter turn clockwise onto the portrait page, so the text
-- of layout 0 turns with it (direction 3). Only the rows still holding the installation's
-- horizontal direction (0) change: a row a user set to another direction is the user's
-- choice and is left as it is.
UPDATE ST_TicketPrintTemplate SET TextOrientation = 3
WHERE IdTemplate = 0 AND TextOrientation = 0;

CREATE TABLE SYS_Setting (
    Name          VARCHAR(40)   NOT NULL,
    Value         VARCHAR(200)  NOT NULL,
    IdUserModify  VARCHAR(64),
    TimeModify    TIMESTAMP(3),
    CONSTRAINT PK_SYS_Setting PRIMARY KEY (Name)
);

-- A placeholder until quorvane-db fax --set stores the real number.
INSERT INTO SYS_Setting (Name, Value) VALUES ('FaxTrustDepartment', '待設定');
