-- Quorvane database objects for SQLite, with the installation data.
--
-- Applied by quorvane-db (SchemaInstaller) in one transaction; foreign keys are enforced
-- because every connection turns them on. postgresql.sql defines the same objects with the
-- same columns.
--
-- Types: bit columns are INTEGER 0/1, money INTEGER (SQLite integers are 64-bit, so sums of
-- money never overflow), voucher serials and check codes INTEGER, times TEXT holding
-- 'yyyy-MM-dd HH:mm:ss.zzz' in the server's local time. The existence procedures of the
-- PostgreSQL schema are plain queries of the access layer here.

-- User accounts. PWD holds an argon2id hash string (or an old encoded password).
-- LoginFailures counts the failed logins in a row since the last successful one; the
-- login locks the account (Locked, TimeLocked) when they reach the limit, and only an
-- administrator unlocks it.
CREATE TABLE BF_User (
    IdUser             VARCHAR(16)  NOT NULL,
    PWD                VARCHAR(255),
    NameUser           VARCHAR(20),
    Note               VARCHAR(60),
    PMI_Handling       INTEGER      NOT NULL DEFAULT 0 CHECK (PMI_Handling IN (0, 1)),
    PMI_Verify         INTEGER      NOT NULL DEFAULT 0 CHECK (PMI_Verify IN (0, 1)),
    PMI_System         INTEGER      NOT NULL DEFAULT 0 CHECK (PMI_System IN (0, 1)),
    IdUserAddNew       VARCHAR(16),
    TimeAddNew         TEXT,
    IdUserModifyFirst  VARCHAR(16),
    TimeModifyFirst    TEXT,
    IdUserModifyLast   VARCHAR(16),
    TimeModifyLast     TEXT,
    LoginFailures      INTEGER      NOT NULL DEFAULT 0 CHECK (LoginFailures >= 0),
    Locked             INTEGER      NOT NULL DEFAULT 0 CHECK (Locked IN (0, 1)),
    TimeLocked         TEXT,
    CONSTRAINT PK_BF_User PRIMARY KEY (IdUser)
);

-- Login matches ids without regard to letter case, so two ids may not differ only in case.
CREATE UNIQUE INDEX UX_BF_User_IdUser_Upper ON BF_User (UPPER(IdUser));

-- Every refused login: when (server time), the id as typed (cut to the column), the account
-- it named (NULL when none) and the workstation it was typed on.
CREATE TABLE SYS_LoginFailure (
    IdLoginFailure  INTEGER       PRIMARY KEY AUTOINCREMENT,
    TimeFailure     TEXT          NOT NULL,
    IdUserTyped     VARCHAR(16),
    IdUser          VARCHAR(16),
    NameClientName  VARCHAR(64),
    NameClientIP    VARCHAR(64)
);

CREATE INDEX IX_SYS_LoginFailure_IdUser ON SYS_LoginFailure (IdUser, TimeFailure);

-- Issuers and their trust contracts.
CREATE TABLE BF_Customer (
    NoContract         VARCHAR(20)  NOT NULL,
    NameCompany        VARCHAR(40),
    NoVAT              VARCHAR(16),
    NameCEO            VARCHAR(20),
    TelCompany         VARCHAR(50),
    AddressCompany     VARCHAR(100),
    DateContract       VARCHAR(20),
    NameContact        VARCHAR(20),
    TelContact         VARCHAR(40),
    TelFax             VARCHAR(40),
    AddressEmail       VARCHAR(100),
    AddressContact     VARCHAR(100),
    Note               VARCHAR(200),
    AddressWeb         VARCHAR(100),
    IdUserAddNew       VARCHAR(16),
    TimeAddNew         TEXT,
    IdUserModifyFirst  VARCHAR(16),
    TimeModifyFirst    TEXT,
    IdUserModifyLast   VARCHAR(16),
    TimeModifyLast     TEXT,
    CONSTRAINT PK_BF_Customer PRIMARY KEY (NoContract)
);

-- Quota applications. NoAccount = NoContract + "-" + NoItem ("00"); an issuer's
-- applications go with it when it is deleted.
CREATE TABLE OR_Account (
    NoAccount            VARCHAR(24)  NOT NULL,
    NoContract           VARCHAR(20)  NOT NULL,
    NoItem               INTEGER      NOT NULL,
    Amount               INTEGER,
    NoteHandling         VARCHAR(100),
    VerifyApprove        INTEGER      CHECK (VerifyApprove IN (0, 1)),
    IdUserVerifyApprove  VARCHAR(16),
    TimeVerifyApprove    TEXT,
    IdUserVerifyReturn   VARCHAR(16),
    TimeVerifyReturn     TEXT,
    NoteVerify           VARCHAR(100),
    Active               INTEGER      NOT NULL DEFAULT 1 CHECK (Active IN (0, 1)),
    IdUserAddNew         VARCHAR(16),
    TimeAddNew           TEXT,
    IdUserModifyFirst    VARCHAR(16),
    TimeModifyFirst      TEXT,
    IdUserModifyLast     VARCHAR(16),
    TimeModifyLast       TEXT,
    CONSTRAINT PK_OR_Account PRIMARY KEY (NoAccount),
    CONSTRAINT UQ_OR_Account_Item UNIQUE (NoContract, NoItem),
    CONSTRAINT FK_OR_Account_Customer FOREIGN KEY (NoContract)
        REFERENCES BF_Customer (NoContract) ON DELETE CASCADE
);

-- Voucher samples. NoTicketForm = NoContract + "-" + NoItem ("000"). An issuer with samples
-- cannot be deleted.
CREATE TABLE OR_TicketForm (
    NoTicketForm         VARCHAR(24)  NOT NULL,
    NoContract           VARCHAR(20)  NOT NULL,
    NoItem               INTEGER      NOT NULL,
    TitleTicket          VARCHAR(100),
    NameTicket           VARCHAR(40),
    AmountTicket         INTEGER,
    NoteTicket           TEXT,
    DateBeginning        VARCHAR(10),
    DateEnd              VARCHAR(10),
    ConfirmCustomer      INTEGER      NOT NULL DEFAULT 0 CHECK (ConfirmCustomer IN (0, 1)),
    DateConfirm          TEXT,
    NameFileTemplate     VARCHAR(100),
    NoteHandling         VARCHAR(100),
    VerifyApprove        INTEGER      CHECK (VerifyApprove IN (0, 1)),
    IdUserVerifyApprove  VARCHAR(16),
    TimeVerifyApprove    TEXT,
    IdUserVerifyReturn   VARCHAR(16),
    TimeVerifyReturn     TEXT,
    NoteVerify           VARCHAR(100),
    Active               INTEGER      NOT NULL DEFAULT 1 CHECK (Active IN (0, 1)),
    IdUserAddNew         VARCHAR(16),
    TimeAddNew           TEXT,
    IdUserModifyFirst    VARCHAR(16),
    TimeModifyFirst      TEXT,
    IdUserModifyLast     VARCHAR(16),
    TimeModifyLast       TEXT,
    CONSTRAINT PK_OR_TicketForm PRIMARY KEY (NoTicketForm),
    CONSTRAINT UQ_OR_TicketForm_Item UNIQUE (NoContract, NoItem),
    CONSTRAINT FK_OR_TicketForm_Customer FOREIGN KEY (NoContract)
        REFERENCES BF_Customer (NoContract)
);

-- Print-task log: one row per print run; the server numbers the runs.
CREATE TABLE ST_TicketTask (
    IdTicketTask         INTEGER      PRIMARY KEY AUTOINCREMENT,
    IdUser               VARCHAR(16),
    IdUserOS             VARCHAR(64),
    TimeTaskStart        TEXT,
    TimeTaskEnd          TEXT,
    NoTicketForm         VARCHAR(24),
    NoTicketBeginning    INTEGER,
    NoTicketEndOriginal  INTEGER,
    NoTicketEndActual    INTEGER,
    TaskPrint            INTEGER      NOT NULL DEFAULT 1 CHECK (TaskPrint IN (0, 1)),
    TaskSave             INTEGER      NOT NULL DEFAULT 1 CHECK (TaskSave IN (0, 1)),
    TaskNullify          INTEGER      NOT NULL DEFAULT 0 CHECK (TaskNullify IN (0, 1)),
    TaskComplete         INTEGER      CHECK (TaskComplete IN (0, 1)),
    NameClientName       VARCHAR(64),
    NameClientIP         VARCHAR(64),
    NamePrinterDevice    VARCHAR(255),
    NamePrinterPort      VARCHAR(255)
);

-- Printed vouchers. The serial is the key; a check code is never used twice.
CREATE TABLE OR_TicketPrint (
    NoTicket       INTEGER      NOT NULL CHECK (NoTicket BETWEEN 0 AND 9999999999),
    NoTicketForm   VARCHAR(24)  NOT NULL,
    NoItem         INTEGER,
    NoTicketCheck  INTEGER      NOT NULL CHECK (NoTicketCheck BETWEEN 0 AND 9999999999999),
    Active         INTEGER      NOT NULL DEFAULT 1 CHECK (Active IN (0, 1)),
    IdUserPrint    VARCHAR(16),
    TimePrint      TEXT,
    IdUserNullify  VARCHAR(16),
    TimeNullify    TEXT,
    IdTicketTask   INTEGER,
    CONSTRAINT PK_OR_TicketPrint PRIMARY KEY (NoTicket),
    CONSTRAINT FK_OR_TicketPrint_TicketForm FOREIGN KEY (NoTicketForm)
        REFERENCES OR_TicketForm (NoTicketForm),
    CONSTRAINT FK_OR_TicketPrint_TicketTask FOREIGN KEY (IdTicketTask)
        REFERENCES ST_TicketTask (IdTicketTask)
);

CREATE UNIQUE INDEX UX_OR_TicketPrint_NoTicketCheck ON OR_TicketPrint (NoTicketCheck);
CREATE INDEX IX_OR_TicketPrint_NoTicketForm ON OR_TicketPrint (NoTicketForm, NoItem);
CREATE INDEX IX_OR_TicketPrint_IdTicketTask ON OR_TicketPrint (IdTicketTask);

-- Layout of the voucher face: one row per text box, millimetres on the 180 x 70 mm voucher
-- lying landscape with its origin at the top left.
CREATE TABLE ST_TicketPrintTemplate (
    IdTemplate            INTEGER      NOT NULL,
    NameShape             VARCHAR(50)  NOT NULL,
    DescriptionShape      VARCHAR(50),
    OrderShape            INTEGER,
    ShapeLeft             REAL,
    ShapeTop              REAL,
    ShapeWidth            REAL,
    ShapeHeight           REAL,
    TextOrientation       INTEGER      NOT NULL DEFAULT 0,
    ParagraphLineSpacing  INTEGER,
    FontName              VARCHAR(64),
    FontSize              INTEGER,
    FontBold              INTEGER      NOT NULL DEFAULT 0 CHECK (FontBold IN (0, 1)),
    FontItalic            INTEGER      NOT NULL DEFAULT 0 CHECK (FontItalic IN (0, 1)),
    CONSTRAINT PK_ST_TicketPrintTemplate PRIMARY KEY (IdTemplate, NameShape)
);

-- Text directions the layout screen offers (0 = horizontal).
CREATE TABLE VBA_MsoTextOrientation (
    Value         INTEGER      NOT NULL,
    NameDisplay   VARCHAR(40)  NOT NULL,
    OrderDisplay  INTEGER      NOT NULL,
    CONSTRAINT PK_VBA_MsoTextOrientation PRIMARY KEY (Value)
);

-- Versions of these objects installed in this database.
CREATE TABLE SYS_SchemaVersion (
    Version        INTEGER       NOT NULL,
    TimeInstalled  TEXT          NOT NULL,
    CONSTRAINT PK_SYS_SchemaVersion PRIMARY KEY (Version)
);

-- Settings of the installation shared by every workstation, one row per setting (names in
-- db/InstallationSettings.h), with who changed it last (an account, or quorvane-db and the operating
-- system's user) and when; both NULL while the installation's value stands.
CREATE TABLE SYS_Setting (
    Name          VARCHAR(40)   NOT NULL,
    Value         VARCHAR(200)  NOT NULL,
    IdUserModify  VARCHAR(64),
    TimeModify    TEXT        ,
    CONSTRAINT PK_SYS_Setting PRIMARY KEY (Name)
);

-- Quota balance per issuer: the amount of the newest approved, active application; the face
-- value of the issuer's live (not nullified) printed vouchers; and what remains. NULL where
-- there is nothing to count; readers take NULL as 0.
CREATE VIEW v_BF_Customer_ApproveAmount_TicketPrint AS
SELECT c.NoContract AS NoContract,
       c.NameCompany AS NameCompany,
       c.NoVAT AS NoVAT,
       CAST(a.Amount AS INTEGER) AS AmountApprove,
       p.AmountTicketPrint AS AmountTicketPrint,
       CASE
           WHEN a.Amount IS NULL AND p.AmountTicketPrint IS NULL THEN NULL
           ELSE COALESCE(CAST(a.Amount AS INTEGER), 0) - COALESCE(p.AmountTicketPrint, 0)
       END AS AmountRemain
FROM BF_Customer c
LEFT JOIN OR_Account a
       ON a.NoContract = c.NoContract
      AND a.NoItem = (SELECT MAX(x.NoItem)
                      FROM OR_Account x
                      WHERE x.NoContract = c.NoContract
                        AND x.Active = 1
                        AND x.VerifyApprove = 1)
LEFT JOIN (SELECT f.NoContract AS NoContract,
                  CAST(SUM(CAST(f.AmountTicket AS INTEGER)) AS INTEGER) AS AmountTicketPrint
           FROM OR_TicketPrint t
           JOIN OR_TicketForm f ON f.NoTicketForm = t.NoTicketForm
           WHERE t.Active = 1
           GROUP BY f.NoContract) p
       ON p.NoContract = c.NoContract;

-- The issuer report: every issuer column with its quota balance.
CREATE VIEW v_BF_Customer AS
SELECT c.NoContract AS NoContract,
       c.NameCompany AS NameCompany,
       c.NoVAT AS NoVAT,
       c.NameCEO AS NameCEO,
       c.TelCompany AS TelCompany,
       c.AddressCompany AS AddressCompany,
       c.DateContract AS DateContract,
       c.NameContact AS NameContact,
       c.TelContact AS TelContact,
       c.TelFax AS TelFax,
       c.AddressEmail AS AddressEmail,
       c.AddressContact AS AddressContact,
       c.Note AS Note,
       c.AddressWeb AS AddressWeb,
       b.AmountApprove AS AmountApprove,
       b.AmountTicketPrint AS AmountTicketPrint,
       b.AmountRemain AS AmountRemain,
       c.IdUserAddNew AS IdUserAddNew,
       c.TimeAddNew AS TimeAddNew,
       c.IdUserModifyFirst AS IdUserModifyFirst,
       c.TimeModifyFirst AS TimeModifyFirst,
       c.IdUserModifyLast AS IdUserModifyLast,
       c.TimeModifyLast AS TimeModifyLast
FROM BF_Customer c
LEFT JOIN v_BF_Customer_ApproveAmount_TicketPrint b ON b.NoContract = c.NoContract
ORDER BY c.NoContract;

-- The print-task audit report: every print run with the sample's issuer.
CREATE VIEW v_ST_TicketTask AS
SELECT t.IdTicketTask AS IdTicketTask,
       t.IdUser AS IdUser,
       t.IdUserOS AS IdUserOS,
       t.TimeTaskStart AS TimeTaskStart,
       t.TimeTaskEnd AS TimeTaskEnd,
       t.NoTicketForm AS NoTicketForm,
       f.NoContract AS NoContract,
       c.NameCompany AS NameCompany,
       t.NoTicketBeginning AS NoTicketBeginning,
       t.NoTicketEndOriginal AS NoTicketEndOriginal,
       t.NoTicketEndActual AS NoTicketEndActual,
       t.TaskPrint AS TaskPrint,
       t.TaskSave AS TaskSave,
       t.TaskNullify AS TaskNullify,
       t.TaskComplete AS TaskComplete,
       t.NameClientName AS NameClientName,
       t.NameClientIP AS NameClientIP,
       t.NamePrinterDevice AS NamePrinterDevice,
       t.NamePrinterPort AS NamePrinterPort
FROM ST_TicketTask t
LEFT JOIN OR_TicketForm f ON f.NoTicketForm = t.NoTicketForm
LEFT JOIN BF_Customer c ON c.NoContract = f.NoContract
ORDER BY t.IdTicketTask;

-- Installation data: text directions.
INSERT INTO VBA_MsoTextOrientation (Value, NameDisplay, OrderDisplay) VALUES
    (0, '水平', 1),
    (1, '垂直（由上而下）', 2),
    (2, '向上旋轉 90 度', 3),
    (3, '向下旋轉 90 度', 4);

-- Installation data: layout 0, the twelve text boxes of the voucher face. Title across the
-- top; goods name and face value below it; usage notes on the left with the issuer's address,
-- guarantee period and web address under them; the issuer's name, business number, person in
-- charge and telephone on the right; the check code in the bottom right corner.
-- The voucher is printed turned a quarter turn clockwise onto the 70 x 180 mm portrait page,
-- so every box's text runs along the voucher's long side, turned with it: direction 3.
INSERT INTO ST_TicketPrintTemplate (IdTemplate, NameShape, DescriptionShape, OrderShape,
    ShapeLeft, ShapeTop, ShapeWidth, ShapeHeight, TextOrientation, ParagraphLineSpacing,
    FontName, FontSize, FontBold, FontItalic) VALUES
    (0, 'txtTicketTitle',    '票卷標題',     1,  10,  3, 160, 12, 3, 28, '標楷體',   26, 1, 0),
    (0, 'txtAddressWeb',     '網址',         2,  10, 63, 100,  5, 3, 10, '新細明體',  8, 0, 0),
    (0, 'txtTicketName',     '商品名稱',     3,  10, 16, 100,  9, 3, 20, '標楷體',   18, 0, 0),
    (0, 'txtTicketAmount',   '票卷面額',     4, 115, 16,  55,  9, 3, 20, '標楷體',   18, 1, 0),
    (0, 'txtNameCompany',    '發行業者名稱', 5, 115, 27,  55,  6, 3, 13, '新細明體', 11, 0, 0),
    (0, 'txtNoVAT',          '統一編號',     6, 115, 34,  55,  5, 3, 11, '新細明體',  9, 0, 0),
    (0, 'txtNameCEO',        '負責人',       7, 115, 40,  55,  5, 3, 11, '新細明體',  9, 0, 0),
    (0, 'txtAddressCompany', '公司地址',     8,  10, 51, 100,  5, 3, 11, '新細明體',  9, 0, 0),
    (0, 'txtTelCompany',     '服務電話',     9, 115, 46,  55,  5, 3, 11, '新細明體',  9, 0, 0),
    (0, 'txtTicketNote',     '使用說明',    10,  10, 27, 100, 22, 3, 10, '新細明體',  8, 0, 0),
    (0, 'txtTicketDate',     '信託保證期間', 11, 10, 57, 100,  5, 3, 11, '新細明體',  9, 0, 0),
    (0, 'txtTicketCheck',    '檢查碼',      12, 130, 62,  45,  6, 3, 12, '新細明體', 10, 0, 0);

-- Installation data: the trust department's fax number printed in the confirmation letter. A
-- placeholder (not a valid number) until quorvane-db init --fax or quorvane-db fax --set
-- stores the real one.
INSERT INTO SYS_Setting (Name, Value) VALUES ('FaxTrustDepartment', '待設定');
