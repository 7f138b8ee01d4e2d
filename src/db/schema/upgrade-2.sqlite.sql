-- Upgrade of a Quorvane SQLite database from schema version 1 to 2: failed logins are counted
-- per account, lock it at the limit, and are logged. Applied by quorvane-db upgrade
-- (SchemaInstaller) in one transaction with the new version's record; sqlite.sql creates the
-- same objects in a new database. Added columns come last, as they do in sqlite.sql.

ALTER TABLE BF_User ADD COLUMN LoginFailures INTEGER NOT NULL DEFAULT 0
    CHECK (LoginFailures >= 0);
ALTER TABLE BF_User ADD COLUMN Locked INTEGER NOT NULL DEFAULT 0 CHECK (Locked IN (0, 1));
ALTER TABLE BF_User ADD COLUMN TimeLocked TEXT;

CREATE TABLE SYS_LoginFailure (
    IdLoginFailure  INTEGER       PRIMARY KEY AUTOINCREMENT,
    TimeFailure     TEXT          NOT NULL,
    IdUserTyped     VARCHAR(16),
    IdUser          VARCHAR(16),
    NameClientName  VARCHAR(64),
    NameClientIP    VARCHAR(64)
);

CREATE INDEX IX_SYS_LoginFailure_IdUser ON SYS_LoginFailure (IdUser, TimeFailure);
