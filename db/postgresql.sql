-- What a server database has beyond what schema.sql describes (its triggers
-- included, made functions there): the trigger that keeps automatic numbers
-- after those given by hand, and the index that keeps the cash concepts'
-- rule. A function can be run again over its former self: an update of a
-- database made by an earlier version runs those it lacks or holds
-- otherwise; an index is made when missing.

-- A row written with a number of its own: the automatic numbers of its
-- table go on after it, as on the file (each numbered table's trigger names
-- its sequence).
CREATE OR REPLACE FUNCTION numeracion_sigue() RETURNS trigger
LANGUAGE plpgsql SET search_path FROM CURRENT AS $$
BEGIN
    PERFORM setval(TG_ARGV[0]::regclass, NEW.id);
    RETURN NULL;
END $$;

-- Concept codes equal when folded (bar beside BAR, ñ beside Ñ) are one
-- concept, as the file's triggers on caja_conceptos have it; here an index
-- keeps the rule, which two stations writing at once cannot get past.
CREATE UNIQUE INDEX ux_caja_conceptos_plegado ON caja_conceptos (plegar(id::text));
