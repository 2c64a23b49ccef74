-- The device store "<root>/.device/device.db": every table of the platform's
-- state, each owned by one service that alone reads and writes it. Built into
-- the platform (platform/storage/device_store.h says how a service adds its
-- table). Every statement must be harmless to run again: a store made before
-- a table was added gets it when a process next opens the store.

-- Registry (platform/storage/registry_db.cpp): keys form a tree of rows;
-- names are kept as first spelled and matched by their case-folded form.
CREATE TABLE IF NOT EXISTS reg_keys (
    id INTEGER PRIMARY KEY AUTOINCREMENT,  -- never reused: a stale handle finds nothing
    parent INTEGER,                        -- NULL for the two roots
    name TEXT NOT NULL,                    -- as first spelled
    folded TEXT NOT NULL,                  -- name with case folded, for matching
    UNIQUE (parent, folded)
);
CREATE TABLE IF NOT EXISTS reg_values (
    key INTEGER NOT NULL,    -- reg_keys.id
    name TEXT NOT NULL,      -- as first spelled
    folded TEXT NOT NULL,    -- name with case folded
    type INTEGER NOT NULL,   -- 1 string, 3 binary, 4 DWORD, ...
    data BLOB NOT NULL,      -- the value's bytes (strings in UTF-16 with their NUL)
    PRIMARY KEY (key, folded)
) WITHOUT ROWID;
INSERT OR IGNORE INTO reg_keys (id, parent, name, folded) VALUES
    (1, NULL, 'HKEY_LOCAL_MACHINE', 'HKEY_LOCAL_MACHINE'),
    (2, NULL, 'HKEY_CURRENT_USER', 'HKEY_CURRENT_USER');

-- Window table (platform/window/window_db.cpp): every window of every
-- process of the device; seq orders rows by creation across processes.
CREATE TABLE IF NOT EXISTS windows (
    hwnd INTEGER PRIMARY KEY,
    seq INTEGER NOT NULL,
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL,   -- owner's start time: a reused process id is not the owner
    thread_id INTEGER NOT NULL,
    parent INTEGER NOT NULL,
    top_level INTEGER NOT NULL,
    class TEXT NOT NULL,
    class_folded TEXT NOT NULL,
    title TEXT NOT NULL,
    title_folded TEXT NOT NULL,
    style INTEGER NOT NULL,
    left_edge INTEGER NOT NULL,
    top_edge INTEGER NOT NULL,
    right_edge INTEGER NOT NULL,
    bottom_edge INTEGER NOT NULL,
    visible INTEGER NOT NULL,
    z INTEGER NOT NULL DEFAULT 0,            -- stacking order, higher nearer the viewer
    shell_flags INTEGER NOT NULL DEFAULT 0   -- kShell* bits (platform/window/window_order.h)
);
CREATE INDEX IF NOT EXISTS windows_by_class ON windows (class_folded);
CREATE INDEX IF NOT EXISTS windows_by_pid ON windows (pid);

-- The input state of the screen (platform/window/window_order.cpp): one row,
-- made when first written.
CREATE TABLE IF NOT EXISTS screen_state (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    foreground INTEGER NOT NULL,
    focus INTEGER NOT NULL,
    capture INTEGER NOT NULL
);

-- Notification-area icons of the taskbar (platform/shell/notify_icon.cpp).
CREATE TABLE IF NOT EXISTS notify_icons (
    hwnd INTEGER NOT NULL,
    id INTEGER NOT NULL,
    seq INTEGER NOT NULL,
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL,
    callback INTEGER NOT NULL,
    width INTEGER NOT NULL,
    height INTEGER NOT NULL,
    pixels BLOB NOT NULL,
    tip TEXT NOT NULL,
    PRIMARY KEY (hwnd, id)
);

-- Menu bars with their soft keys (platform/shell/menu_bar.cpp).
CREATE TABLE IF NOT EXISTS menu_bars (
    hwnd INTEGER PRIMARY KEY,
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL,
    items BLOB NOT NULL
);

-- Registered window messages (platform/message/registered_messages.cpp): one
-- number per name, the same in every process of the device.
CREATE TABLE IF NOT EXISTS registered_messages (
    name_folded TEXT PRIMARY KEY,
    number INTEGER NOT NULL UNIQUE
);

-- Registry-change watches (platform/window/registry_notify.cpp): who is told
-- when a value changes, and the value as the watcher last saw it.
CREATE TABLE IF NOT EXISTS registry_watches (
    handle INTEGER PRIMARY KEY AUTOINCREMENT,
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL,
    hwnd INTEGER NOT NULL,
    message INTEGER NOT NULL,
    user_data INTEGER NOT NULL,
    root INTEGER NOT NULL,
    key_folded TEXT NOT NULL,
    value_folded TEXT NOT NULL,
    kind INTEGER NOT NULL,
    mask INTEGER NOT NULL,
    last_exists INTEGER NOT NULL,
    last_type INTEGER NOT NULL,
    last_data BLOB NOT NULL
);
CREATE INDEX IF NOT EXISTS watches_by_value ON registry_watches (root, key_folded, value_folded);

-- Pending user notifications (platform/notify/user_notify_store.cpp). The
-- row id is the handle; AUTOINCREMENT keeps it from ever being reused.
CREATE TABLE IF NOT EXISTS notifications (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    type INTEGER NOT NULL,         -- trigger kind
    event INTEGER NOT NULL,        -- event number of the event kind, else 0
    application TEXT NOT NULL,     -- program path or named-event target
    arguments TEXT NOT NULL,       -- command line
    start_s INTEGER NOT NULL,      -- start time, seconds since 1601 (time kind)
    end_s INTEGER NOT NULL         -- end time, seconds since 1601 (time kind)
);
CREATE INDEX IF NOT EXISTS notifications_due ON notifications (type, start_s, id);

-- Device clock (platform/kernel/clock.cpp): at most one row. A running clock
-- is the host's UTC time plus offset_ms; a frozen one stands at time_ms
-- (local time, milliseconds since 1601). Without the row the clock runs at
-- host local time.
CREATE TABLE IF NOT EXISTS clock (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    mode TEXT NOT NULL,            -- 'running' or 'frozen'
    offset_ms INTEGER,             -- running clock
    time_ms INTEGER                -- frozen clock
);

-- Simulated hardware facts (platform/hardware/hardware.cpp): one row per
-- fact in the key=value words of the hardware state's text form; a list (the
-- access points in reach, the open data connections) has one row per entry,
-- numbered by seq.
CREATE TABLE IF NOT EXISTS hardware (
    key TEXT NOT NULL,
    seq INTEGER NOT NULL DEFAULT 0,
    value TEXT NOT NULL,
    PRIMARY KEY (key, seq)
) WITHOUT ROWID;

-- System power state (platform/power/power_state.cpp): at most one row, and
-- one row per unattended-mode request of a process still holding it.
CREATE TABLE IF NOT EXISTS power_state (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    power TEXT NOT NULL            -- 'on', 'idle', 'suspend' or 'unattended'
);
CREATE TABLE IF NOT EXISTS unattended_holders (
    id INTEGER PRIMARY KEY AUTOINCREMENT,  -- order of the requests
    pid INTEGER NOT NULL
);

-- Device journal (platform/storage/journal.cpp): one row per effect of a
-- platform call, printed by "tlwsim journal" as "time program effect".
CREATE TABLE IF NOT EXISTS journal (
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    time TEXT NOT NULL,            -- device time, YYYY-MM-DDTHH:MM:SS
    program TEXT NOT NULL,         -- one word
    effect TEXT NOT NULL           -- one line
);

-- Calendar (platform/pim/calendar_db.cpp): the appointments, whose row id is
-- the object identifier (AUTOINCREMENT: never given twice), and the windows
-- that asked to hear of changes.
CREATE TABLE IF NOT EXISTS appointments (
    oid INTEGER PRIMARY KEY AUTOINCREMENT,
    subject TEXT NOT NULL,
    start_s INTEGER NOT NULL,      -- local start, seconds since 1601
    end_s INTEGER NOT NULL,        -- local end, seconds since 1601
    all_day INTEGER NOT NULL,
    busy INTEGER NOT NULL,
    meeting INTEGER NOT NULL,
    sensitivity INTEGER NOT NULL,
    categories TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS appointments_start ON appointments (start_s, oid);
-- How a recurring appointment repeats: one row per series, none for a
-- single appointment (platform/pim/recurrence.h names the values).
CREATE TABLE IF NOT EXISTS appointment_recurrences (
    oid INTEGER PRIMARY KEY,       -- appointments.oid
    type INTEGER NOT NULL,         -- 0 daily, 1 weekly, 2 monthly, 5 yearly
    interval INTEGER NOT NULL,     -- every N days, weeks, months or years
    days INTEGER NOT NULL,         -- weekly: days of the week, bit 0 Sunday ... bit 6 Saturday
    until_s INTEGER,               -- last day an occurrence may start on (local midnight, seconds since 1601); NULL: no end date
    count INTEGER NOT NULL         -- occurrences in all; 0: not counted
);
-- Occurrences of a series deleted on their own: the day each would start on.
CREATE TABLE IF NOT EXISTS appointment_exceptions (
    oid INTEGER NOT NULL,          -- appointments.oid of the series
    day_s INTEGER NOT NULL,        -- the occurrence's day (local midnight, seconds since 1601)
    PRIMARY KEY (oid, day_s)
) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS calendar_watchers (
    window INTEGER PRIMARY KEY,    -- the window's handle value
    pid INTEGER NOT NULL           -- the process that registered it (it does not hear its own changes)
);

-- Calendar categories (platform/pim/categories.cpp): the names in the order
-- they were added, unique by their case-folded form. category_list has its
-- one row once the list was first changed; until then the calendar offers
-- its own three names.
CREATE TABLE IF NOT EXISTS categories (
    seq INTEGER PRIMARY KEY AUTOINCREMENT,  -- order of adding
    name TEXT NOT NULL,                     -- as spelled
    folded TEXT NOT NULL UNIQUE             -- name with case folded, for matching
);
CREATE TABLE IF NOT EXISTS category_list (
    id INTEGER PRIMARY KEY CHECK (id = 1)
);

-- Shell state (platform/window/cursor.cpp, platform/shell/input_panel.cpp):
-- the process showing the wait cursor, and whether the input panel is up;
-- at most one row each, none when hidden.
CREATE TABLE IF NOT EXISTS wait_cursor (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL    -- the process's start time: a reused id does not show it
);
CREATE TABLE IF NOT EXISTS input_panel (
    id INTEGER PRIMARY KEY CHECK (id = 1)
);

-- The shell host (platform/shell/shell_host.cpp): the one process running the
-- phone's shell, at most one row; a row of a process that has ended does not
-- count.
CREATE TABLE IF NOT EXISTS shell_host (
    id INTEGER PRIMARY KEY CHECK (id = 1),
    pid INTEGER NOT NULL,
    start_time INTEGER NOT NULL    -- the process's start time: a reused id does not hold it
);
