#pragma once
// Fills a new database with a club of several years: courts, slots, clients,
// products, reservations every day and counter sales with their lines.
class Conexion;

struct TamanioClub {
    int anios = 10;
    int canchas = 6;
    int horarios = 15;
    int clientes = 3000;
    int productos = 120;
    int reservasPorDia = 60;
    int ventasPorDia = 40;
};

void generarClub(Conexion &c, const TamanioClub &t);
