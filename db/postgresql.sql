-- What a server database has beyond the tables of schema.sql: the triggers
-- that keep the counts of reservations, written for the server, and the one
-- that keeps automatic numbers after those given by hand. Each statement
-- can be run again over its former self: an update of a database made by an
-- earlier version runs those it lacks or holds otherwise.

-- A step of +1 or -1 in the counts of a client, and of that client on a
-- court, and the client's most booked court found anew.
CREATE OR REPLACE FUNCTION reservas_cuenta_paso(cliente BIGINT, cancha CITEXT, paso BIGINT) RETURNS void
LANGUAGE plpgsql AS $$
BEGIN
    IF cliente IS NULL THEN
        RETURN;
    END IF;
    INSERT INTO reservas_por_cliente (clientes_id, cantidad) VALUES (cliente, 0) ON CONFLICT DO NOTHING;
    UPDATE reservas_por_cliente SET cantidad = cantidad + paso WHERE clientes_id = cliente;
    DELETE FROM reservas_por_cliente WHERE clientes_id = cliente AND cantidad <= 0;
    IF cancha IS NOT NULL THEN
        INSERT INTO reservas_por_cliente_cancha (clientes_id, canchas_id, cantidad) VALUES (cliente, cancha, 0)
            ON CONFLICT DO NOTHING;
        UPDATE reservas_por_cliente_cancha SET cantidad = cantidad + paso
            WHERE clientes_id = cliente AND canchas_id = cancha;
        DELETE FROM reservas_por_cliente_cancha
            WHERE clientes_id = cliente AND canchas_id = cancha AND cantidad <= 0;
        UPDATE reservas_por_cliente SET cancha_frecuente_id =
                (SELECT canchas_id FROM reservas_por_cliente_cancha WHERE clientes_id = cliente
                 ORDER BY cantidad DESC, canchas_id LIMIT 1)
            WHERE clientes_id = cliente;
    END IF;
END $$;

CREATE OR REPLACE FUNCTION reservas_cuenta() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF TG_OP IN ('DELETE', 'UPDATE') THEN
        PERFORM reservas_cuenta_paso(OLD.clientes_id, OLD.canchas_id, -1);
    END IF;
    IF TG_OP IN ('INSERT', 'UPDATE') THEN
        PERFORM reservas_cuenta_paso(NEW.clientes_id, NEW.canchas_id, 1);
    END IF;
    RETURN NULL;
END $$;

CREATE OR REPLACE TRIGGER tr_reservas_cuenta_alta AFTER INSERT ON reservas
    FOR EACH ROW EXECUTE FUNCTION reservas_cuenta();
CREATE OR REPLACE TRIGGER tr_reservas_cuenta_baja AFTER DELETE ON reservas
    FOR EACH ROW EXECUTE FUNCTION reservas_cuenta();
CREATE OR REPLACE TRIGGER tr_reservas_cuenta_cambio AFTER UPDATE OF clientes_id, canchas_id ON reservas
    FOR EACH ROW WHEN (OLD.clientes_id IS DISTINCT FROM NEW.clientes_id OR OLD.canchas_id IS DISTINCT FROM NEW.canchas_id)
    EXECUTE FUNCTION reservas_cuenta();

-- A row written with a number of its own: the automatic numbers of its
-- table go on after it, as on the file (each numbered table's trigger names
-- its sequence).
CREATE OR REPLACE FUNCTION numeracion_sigue() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    PERFORM setval(TG_ARGV[0]::regclass, NEW.id);
    RETURN NULL;
END $$;

