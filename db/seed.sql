-- Rows that ship with every new database.

INSERT INTO t_numeradores (id, numero_siguiente) VALUES ('CJA', 1);
INSERT INTO t_numeradores (id, numero_siguiente) VALUES ('RESFIJA', 1);

INSERT INTO reservas_estados (codigo, descripcion) VALUES ('RES', 'RESERVADA');
INSERT INTO reservas_estados (codigo, descripcion) VALUES ('COB', 'COBRADA');
INSERT INTO reservas_estados (codigo, descripcion) VALUES ('SUS', 'SUSPENDIDA');

INSERT INTO caja_conceptos (id, descripcion, sistema) VALUES ('INI', 'Inicio de caja', 1);
INSERT INTO caja_conceptos (id, descripcion, sistema) VALUES ('ING', 'Ingreso de efectivo', 1);
INSERT INTO caja_conceptos (id, descripcion, sistema) VALUES ('EGR', 'Extracción de efectivo', 1);
INSERT INTO caja_conceptos (id, descripcion, sistema) VALUES ('RES', 'Reservas / anticipos', 1);
INSERT INTO caja_conceptos (id, descripcion, sistema) VALUES ('TUR', 'Turnos / canchas', 1);
INSERT INTO caja_conceptos (id, descripcion, sistema) VALUES ('VEN', 'VENTAS', 1);

INSERT INTO clientes (id, nombre, telefono, direccion, comentarios)
VALUES (1, 'CONSUMIDOR FINAL', '', '', '');

-- The administrator; its initial password is "admin" (salted argon2id hash).
INSERT INTO t_usuarios (Codigo, Descripcion, Clave)
VALUES ('admin', 'Administrador',
        '$argon2id$v=19$m=65536,t=2,p=1$Tkz8f42Nyb7avimXDSKCrQ$flSmQrKe3Xd4kg7iT+CYCJPBlsbslj/dynGia6Vv7Qk');

INSERT INTO DatosEmpresa (RazonSocial, Domicilio, Localidad, Telefono, Sucursal, Cuit, PuertoFiscal,
                          CategoriaIva, IngresosBrutos, DomicilioComercial, DomicilioFiscal)
VALUES ('', '', '', '', '0001', '', '', '', '', '', '');
