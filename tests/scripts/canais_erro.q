* O arquivo que não existe encerra o script; sem & não é criado.
abre #1 "nada.txt"
escreve "nunca"
