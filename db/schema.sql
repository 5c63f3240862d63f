-- Tables of the club's database. Dates are ISO text ('YYYY-MM-DD'), moments
-- 'YYYY-MM-DD HH:MM:SS', amounts REAL. Codes compare ignoring letter case.

CREATE TABLE t_numeradores (
    id               TEXT COLLATE NOCASE PRIMARY KEY,
    numero_siguiente INTEGER NOT NULL DEFAULT 1
);

CREATE TABLE t_usuarios (
    Codigo      TEXT COLLATE NOCASE PRIMARY KEY,
    Descripcion TEXT,
    Clave       TEXT
);

-- Exactly two columns, in this order: rows are inserted by position.
CREATE TABLE t_opcionesasignadas (
    codigo TEXT COLLATE NOCASE,
    opcion TEXT COLLATE NOCASE
);
CREATE INDEX ix_opcionesasignadas ON t_opcionesasignadas (codigo, opcion);

CREATE TABLE t_configuraciones (
    codigo      TEXT COLLATE NOCASE PRIMARY KEY,
    descripcion TEXT,
    valor       TEXT
);

CREATE TABLE t_emailconf (
    usuario           TEXT,
    "contraseña"      TEXT,
    destinatario      TEXT,
    t_usuarios_codigo TEXT COLLATE NOCASE
);

CREATE TABLE DatosEmpresa (
    RazonSocial        TEXT,
    Domicilio          TEXT,
    Localidad          TEXT,
    Telefono           TEXT,
    Sucursal           TEXT,
    Cuit               TEXT,
    PuertoFiscal       TEXT,
    CategoriaIva       TEXT,
    IngresosBrutos     TEXT,
    DomicilioComercial TEXT,
    DomicilioFiscal    TEXT
);

CREATE TABLE clientes (
    id          INTEGER PRIMARY KEY AUTOINCREMENT,
    nombre      TEXT,
    telefono    TEXT,
    direccion   TEXT,
    comentarios TEXT
);

CREATE TABLE canchas (
    id              TEXT COLLATE NOCASE PRIMARY KEY,
    descripcion     TEXT,
    cancha_madre_id TEXT COLLATE NOCASE DEFAULT ''
);
CREATE INDEX ix_canchas_madre ON canchas (cancha_madre_id);

CREATE TABLE horarios (
    codigo      TEXT COLLATE NOCASE PRIMARY KEY,
    descripcion TEXT
);

CREATE TABLE valores_canchas (
    canchas_id      TEXT COLLATE NOCASE,
    horarios_codigo TEXT COLLATE NOCASE,
    importe         REAL DEFAULT 0
);
CREATE INDEX ix_valores_canchas ON valores_canchas (canchas_id, horarios_codigo);
CREATE INDEX ix_valores_horarios ON valores_canchas (horarios_codigo);

CREATE TABLE reservas_estados (
    codigo      TEXT COLLATE NOCASE PRIMARY KEY,
    descripcion TEXT
);

CREATE TABLE reservas (
    id                 INTEGER PRIMARY KEY AUTOINCREMENT,
    clientes_id        INTEGER,
    canchas_id         TEXT COLLATE NOCASE,
    fecha              DATE,
    horarios_id        TEXT COLLATE NOCASE,
    permanente         BOOLEAN DEFAULT 0,
    estado             TEXT COLLATE NOCASE,
    fecha_anticipo     DATETIME,
    importe_anticipo   REAL DEFAULT 0,
    importe_total      REAL DEFAULT 0,
    importe_saldo      REAL DEFAULT 0,
    cantidad_semanas   INTEGER DEFAULT 0,
    semana_numero      INTEGER,
    reserva_fija_id    INTEGER,
    fecha_reserva_fin  DATE,
    comentarios        TEXT,
    arqueo_anticipo_id INTEGER,
    arqueo_saldo_id    INTEGER,
    t_usuarios_codigo  TEXT COLLATE NOCASE
);
CREATE INDEX ix_reservas_turno ON reservas (canchas_id, fecha, horarios_id);
CREATE INDEX ix_reservas_fecha ON reservas (fecha);
-- Collected turns of a period by court and client, read without the table.
CREATE INDEX ix_reservas_estado_fecha ON reservas (estado, fecha, canchas_id, clientes_id, importe_total);
CREATE INDEX ix_reservas_anticipo ON reservas (fecha_anticipo);
CREATE INDEX ix_reservas_usuario ON reservas (t_usuarios_codigo);
-- The count and the closing read a user's deposits and balances not yet
-- taken. Deposits of 0 and balances never collected keep a Null stamp for
-- good: these indexes hold only what a closing would still stamp, so their
-- cost follows the open register, not the years of history.
CREATE INDEX ix_reservas_usuario_anticipo ON reservas (t_usuarios_codigo)
    WHERE arqueo_anticipo_id IS NULL AND importe_anticipo <> 0;
CREATE INDEX ix_reservas_usuario_saldo ON reservas (t_usuarios_codigo, estado)
    WHERE arqueo_saldo_id IS NULL AND estado IN ('COB', 'SUS');
CREATE INDEX ix_reservas_serie ON reservas (reserva_fija_id, fecha);
-- A client's reservations on a court by date: the earliest (date, then id)
-- and its slot found by one look, without reading the table.
CREATE INDEX ix_reservas_cliente ON reservas (clientes_id, canchas_id, fecha, id, horarios_id);
-- A client's reservations by date: its latest, and whether it has one in a
-- period, each found by one look.
CREATE INDEX ix_reservas_cliente_fecha ON reservas (clientes_id, fecha);
-- The reservations a closing took, found when it is undone: only stamped
-- rows. What is still to be stamped is found by the indexes by user above;
-- an index holding every Null stamp led the server's planner to read all of
-- them for one user's balances.
CREATE INDEX ix_reservas_arqueo_anticipo_tomado ON reservas (arqueo_anticipo_id)
    WHERE arqueo_anticipo_id IS NOT NULL;
CREATE INDEX ix_reservas_arqueo_saldo_tomado ON reservas (arqueo_saldo_id)
    WHERE arqueo_saldo_id IS NOT NULL;
-- Reservations neither collected nor suspended, by date: the check before a
-- closing finds one of a past day, or knows there is none, by one look
-- instead of reading every past reservation.
CREATE INDEX ix_reservas_pendientes ON reservas (fecha) WHERE estado NOT IN ('COB', 'SUS');

-- How many reservations each client has, in all and on each court, and the
-- court it books most (the lowest court id on a tie; Null when none of its
-- reservations has a court), kept by the triggers below as reservations are
-- written: the loyalty report reads them instead of counting half a million
-- rows. A count that reaches 0 is removed; reservations without a client,
-- or without a court for the second table, are not counted there.
CREATE TABLE reservas_por_cliente (
    clientes_id         INTEGER PRIMARY KEY,
    cantidad            INTEGER NOT NULL,
    cancha_frecuente_id TEXT COLLATE NOCASE
);
CREATE TABLE reservas_por_cliente_cancha (
    clientes_id INTEGER NOT NULL,
    canchas_id  TEXT COLLATE NOCASE NOT NULL,
    cantidad    INTEGER NOT NULL,
    PRIMARY KEY (clientes_id, canchas_id)
) WITHOUT ROWID;
-- A client's most booked court (the lowest court id on a tie) by one look.
CREATE INDEX ix_reservas_por_cliente_cancha_cantidad ON reservas_por_cliente_cancha (clientes_id, cantidad DESC, canchas_id);

-- A step of +1 or -1 in the counts of a client, and of that client on a
-- court: the triggers on reservas below write steps here, and this view's
-- own trigger applies them and finds the client's most booked court anew.
-- It never holds a row; its columns are those of the counts (a court is a
-- code). Its statements can meet no conflict (a row is added only when
-- missing, never with a Null); OR IGNORE says so to the engine, which then
-- keeps no journal of each statement that writes a reservation, halving the
-- time of a series. These triggers are the server's too, each turned into
-- a function and a trigger there.
CREATE VIEW reservas_cuenta_paso AS
    SELECT clientes_id, canchas_id, 0 AS paso FROM reservas_por_cliente_cancha WHERE 0;

CREATE TRIGGER tr_reservas_cuenta_paso INSTEAD OF INSERT ON reservas_cuenta_paso
    WHEN NEW.clientes_id IS NOT NULL
BEGIN
    INSERT OR IGNORE INTO reservas_por_cliente (clientes_id, cantidad)
        SELECT NEW.clientes_id, 0
        WHERE NOT EXISTS (SELECT 1 FROM reservas_por_cliente WHERE clientes_id = NEW.clientes_id);
    UPDATE OR IGNORE reservas_por_cliente SET cantidad = cantidad + NEW.paso WHERE clientes_id = NEW.clientes_id;
    DELETE FROM reservas_por_cliente WHERE clientes_id = NEW.clientes_id AND cantidad <= 0;
    INSERT OR IGNORE INTO reservas_por_cliente_cancha (clientes_id, canchas_id, cantidad)
        SELECT NEW.clientes_id, NEW.canchas_id, 0
        WHERE NEW.canchas_id IS NOT NULL AND NOT EXISTS (SELECT 1 FROM reservas_por_cliente_cancha
            WHERE clientes_id = NEW.clientes_id AND canchas_id = NEW.canchas_id);
    UPDATE OR IGNORE reservas_por_cliente_cancha SET cantidad = cantidad + NEW.paso
        WHERE clientes_id = NEW.clientes_id AND canchas_id = NEW.canchas_id;
    DELETE FROM reservas_por_cliente_cancha
        WHERE clientes_id = NEW.clientes_id AND canchas_id = NEW.canchas_id AND cantidad <= 0;
    UPDATE OR IGNORE reservas_por_cliente SET cancha_frecuente_id =
            (SELECT canchas_id FROM reservas_por_cliente_cancha WHERE clientes_id = NEW.clientes_id
             ORDER BY cantidad DESC, canchas_id LIMIT 1)
        WHERE clientes_id = NEW.clientes_id AND NEW.canchas_id IS NOT NULL;
END;

CREATE TRIGGER tr_reservas_cuenta_alta AFTER INSERT ON reservas
BEGIN
    INSERT INTO reservas_cuenta_paso VALUES (NEW.clientes_id, NEW.canchas_id, 1);
END;

CREATE TRIGGER tr_reservas_cuenta_baja AFTER DELETE ON reservas
BEGIN
    INSERT INTO reservas_cuenta_paso VALUES (OLD.clientes_id, OLD.canchas_id, -1);
END;

-- A reservation moved to another client or court: taken from the old counts,
-- added to the new.
CREATE TRIGGER tr_reservas_cuenta_cambio AFTER UPDATE OF clientes_id, canchas_id ON reservas
    WHEN OLD.clientes_id IS NOT NEW.clientes_id OR OLD.canchas_id IS NOT NEW.canchas_id
BEGIN
    INSERT INTO reservas_cuenta_paso VALUES (OLD.clientes_id, OLD.canchas_id, -1);
    INSERT INTO reservas_cuenta_paso VALUES (NEW.clientes_id, NEW.canchas_id, 1);
END;

CREATE TABLE productos (
    id            TEXT COLLATE NOCASE PRIMARY KEY,
    descripcion   TEXT,
    precio_compra REAL DEFAULT 0,
    precio_venta  REAL DEFAULT 0,
    existencia    REAL DEFAULT 0,
    comentarios   TEXT,
    activo        INTEGER DEFAULT 1
);

CREATE TABLE ventas (
    id                INTEGER PRIMARY KEY AUTOINCREMENT,
    fecha             DATETIME,
    clientes_id       INTEGER,
    importe_total     REAL DEFAULT 0,
    importe_pagado    REAL DEFAULT 0,
    comentarios       TEXT,
    t_usuarios_codigo TEXT COLLATE NOCASE,
    fecha_anulacion   DATE,
    arqueo_id         INTEGER
);
-- Sales of a period, with the client and amount read from the index.
CREATE INDEX ix_ventas_fecha ON ventas (fecha, clientes_id, importe_total);
-- A user's sales not yet taken by a closing.
CREATE INDEX ix_ventas_usuario ON ventas (t_usuarios_codigo) WHERE arqueo_id IS NULL;
CREATE INDEX ix_ventas_arqueo ON ventas (arqueo_id);
CREATE INDEX ix_ventas_cliente ON ventas (clientes_id);

CREATE TABLE ventas_items (
    ventas_id       INTEGER,
    productos_id    TEXT COLLATE NOCASE,
    cantidad        REAL DEFAULT 0,
    precio_unitario REAL DEFAULT 0,
    precio_compra   REAL DEFAULT 0
);
CREATE INDEX ix_ventas_items_venta ON ventas_items (ventas_id);
CREATE INDEX ix_ventas_items_producto ON ventas_items (productos_id);

CREATE TABLE movimientos_stock (
    id                INTEGER PRIMARY KEY AUTOINCREMENT,
    tipo              TEXT,
    fecha             DATETIME,
    productos_id      TEXT COLLATE NOCASE,
    ventas_id         INTEGER,
    cantidad          REAL DEFAULT 0,
    comentarios       TEXT,
    t_usuarios_codigo TEXT COLLATE NOCASE
);
CREATE INDEX ix_movstock_producto ON movimientos_stock (productos_id, fecha);
CREATE INDEX ix_movstock_fecha ON movimientos_stock (fecha);
CREATE INDEX ix_movstock_venta ON movimientos_stock (ventas_id);

-- Register numbers come from the counter CJA; never an automatic number.
CREATE TABLE caja_cabeza (
    id                     INTEGER PRIMARY KEY,
    fecha_hora_apertura    DATETIME,
    importe_inicial        REAL DEFAULT 0,
    importe_cierre_teorico REAL DEFAULT 0,
    importe_cierre_real    REAL DEFAULT 0,
    fecha_hora_cierre      DATETIME,
    comentarios            TEXT,
    t_usuarios_codigo      TEXT COLLATE NOCASE,
    enviado                INTEGER DEFAULT 0
);
CREATE INDEX ix_caja_cabeza_usuario ON caja_cabeza (t_usuarios_codigo, fecha_hora_cierre);
CREATE INDEX ix_caja_cabeza_cierre ON caja_cabeza (fecha_hora_cierre);

CREATE TABLE caja_movimientos (
    id                         INTEGER PRIMARY KEY AUTOINCREMENT,
    caja_cabeza_id             INTEGER,
    mov_tipo                   TEXT COLLATE NOCASE,
    fecha_hora                 DATETIME,
    caja_conceptos_id          TEXT COLLATE NOCASE,
    caja_conceptos_descripcion TEXT,
    descripcion                TEXT,
    importe                    REAL DEFAULT 0,
    comentarios                TEXT,
    t_usuarios_codigo          TEXT COLLATE NOCASE
);
CREATE INDEX ix_caja_mov_caja ON caja_movimientos (caja_cabeza_id, mov_tipo);
CREATE INDEX ix_caja_mov_fecha ON caja_movimientos (fecha_hora);
CREATE INDEX ix_caja_mov_concepto ON caja_movimientos (caja_conceptos_id);
-- A register's amounts of one concept (its opening) by one look, instead of
-- that concept's movements of every register ever opened.
CREATE INDEX ix_caja_mov_caja_concepto ON caja_movimientos (caja_cabeza_id, caja_conceptos_id);

CREATE TABLE caja_resumen_operaciones (
    id                INTEGER PRIMARY KEY AUTOINCREMENT,
    caja_cabeza_id    INTEGER,
    caja_conceptos_id TEXT,
    operacion_id      TEXT,
    clientes_id       INTEGER,
    operacion_fecha   DATETIME,
    descripcion       TEXT,
    fecha_hora        DATETIME,
    importe           REAL DEFAULT 0,
    comentarios       TEXT
);
CREATE INDEX ix_caja_res_op_caja ON caja_resumen_operaciones (caja_cabeza_id);

CREATE TABLE caja_resumen_stock (
    caja_cabeza_id           INTEGER,
    fecha_desde              DATETIME,
    fecha_hasta              DATETIME,
    producto_id              TEXT COLLATE NOCASE,
    producto_descripcion     TEXT,
    cantidad_vendida         REAL DEFAULT 0,
    cantidad_movimientos_stk REAL DEFAULT 0,
    cantidad_inicial         REAL DEFAULT 0,
    existencia_actual        REAL DEFAULT 0
);
CREATE INDEX ix_caja_res_stock_caja ON caja_resumen_stock (caja_cabeza_id);

-- Concept codes compare without regard to letter case: a code that differs
-- from an existing one only in case (bar beside BAR, ini beside INI) is
-- refused as a duplicate by the triggers below. The key itself compares
-- exactly, since a file of an earlier version, where case counted, may hold
-- two such codes: both are kept, each with its movements.
CREATE TABLE caja_conceptos (
    id          TEXT COLLATE NOCASE NOT NULL,
    descripcion TEXT,
    sistema     INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY (id COLLATE BINARY)
);

CREATE TRIGGER tr_caja_conceptos_alta BEFORE INSERT ON caja_conceptos
    WHEN EXISTS (SELECT 1 FROM caja_conceptos WHERE plegar(id) = plegar(NEW.id))
BEGIN
    SELECT RAISE(ABORT, 'UNIQUE constraint failed: caja_conceptos.id');
END;

CREATE TRIGGER tr_caja_conceptos_cambio BEFORE UPDATE OF id ON caja_conceptos
    WHEN EXISTS (SELECT 1 FROM caja_conceptos WHERE plegar(id) = plegar(NEW.id) AND rowid <> OLD.rowid)
BEGIN
    SELECT RAISE(ABORT, 'UNIQUE constraint failed: caja_conceptos.id');
END;

CREATE TABLE tmp_informe_ventas (
    producto_id            TEXT COLLATE NOCASE,
    producto_descripcion   TEXT,
    cantidad_vendida       REAL DEFAULT 0,
    importe_costo          REAL DEFAULT 0,
    importe_ventas         REAL DEFAULT 0,
    importe_rentabilidad   REAL DEFAULT 0,
    porcentaje_ponderacion REAL DEFAULT 0,
    t_usuarios_codigo      TEXT COLLATE NOCASE
);
CREATE INDEX ix_tmp_informe_usuario ON tmp_informe_ventas (t_usuarios_codigo);
